#include "base/msgbox.h"

#include "base/widetext.h"

namespace {

const char kErrorCaption[] = "エラー情報";
const char kNoticeCaption[] = "確認情報";
const char kQuestionCaption[] = "確認画面";

MessageShower currentShower = ShowMessageWide;
WideMessageShower currentWideShower = MessageBoxW;
MessageRecorder* activeRecorder = nullptr;

}  // namespace

int ShowMessageWide(HWND owner, const char* text, const char* caption, UINT style) {
    const std::wstring wideText = WideFromCp932(text);
    const std::wstring wideCaption = WideFromCp932(caption);
    return currentWideShower(owner, wideText.c_str(), wideCaption.c_str(), style);
}

int ShowMessage(HWND owner, const char* text, const char* caption, UINT style) {
    return currentShower(owner, text, caption, style);
}

void ShowErrorBox(const char* text) { ShowMessage(nullptr, text, kErrorCaption, ERROR_BOX_STYLE); }

void ShowNoticeBox(const char* text) { ShowMessage(nullptr, text, kNoticeCaption, NOTICE_BOX_STYLE); }

bool AskQuestionBox(HWND owner, const char* text) {
    return ShowMessage(owner, text, kQuestionCaption, QUESTION_BOX_STYLE) == IDYES;
}

MessageShower SetMessageShower(MessageShower shower) {
    MessageShower previous = currentShower;
    currentShower = shower != nullptr ? shower : ShowMessageWide;
    return previous;
}

WideMessageShower SetWideMessageShower(WideMessageShower shower) {
    WideMessageShower previous = currentWideShower;
    currentWideShower = shower != nullptr ? shower : MessageBoxW;
    return previous;
}

MessageRecorder::MessageRecorder(int answer)
    : answer_(answer), previousShower_(SetMessageShower(Record)), previousRecorder_(activeRecorder) {
    activeRecorder = this;
}

MessageRecorder::~MessageRecorder() {
    activeRecorder = previousRecorder_;
    SetMessageShower(previousShower_);
}

int MessageRecorder::Record(HWND owner, const char* text, const char* caption, UINT style) {
    MessageRecorder* self = activeRecorder;
    if (self == nullptr) return 0;
    self->calls_.push_back(Call{owner, text != nullptr ? text : "", caption != nullptr ? caption : "", style});
    return self->answer_;
}
