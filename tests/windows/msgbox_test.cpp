#include "base/msgbox.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "base/aboutbox.h"
#include "base/abouttext.h"

// windows.h maps MessageBox to MessageBoxA, which would rename the suite.
#undef MessageBox

namespace {

const char kErrorCaption[] = "\x83\x47\x83\x89\x81\x5B\x8F\xEE\x95\xF1";          // エラー情報
const char kNoticeCaption[] = "\x8A\x6D\x94\x46\x8F\xEE\x95\xF1";                  // 確認情報
const char kQuestionCaption[] = "\x8A\x6D\x94\x46\x89\xE6\x96\xCA";                // 確認画面
const char kAboutCaption[] = "\x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93\x8F\xEE\x95\xF1";  // バージョン情報
// "既に起動しています。"
const char kAlreadyRunning[] = "\x8A\xF9\x82\xC9\x8B\x4E\x93\xAE\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42";

HWND FakeWindow(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

// Stands in for MessageBoxW: records what the default shower hands over.
struct WideCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};
std::vector<WideCall> wideCalls;
int wideAnswer = IDOK;

int WINAPI RecordWide(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    wideCalls.push_back(WideCall{owner, text != nullptr ? text : L"(none)", caption != nullptr ? caption : L"(none)",
                                 style});
    return wideAnswer;
}

class WideRecording {
public:
    explicit WideRecording(int answer) : previous_(SetWideMessageShower(RecordWide)) {
        wideCalls.clear();
        wideAnswer = answer;
    }
    ~WideRecording() { SetWideMessageShower(previous_); }

private:
    WideMessageShower previous_;
};

TEST(MessageBox, EachKindHasItsCaptionStyleAndOwner) {
    MessageRecorder recorder(IDCANCEL);
    ShowErrorBox("error text");
    ShowNoticeBox("notice text");
    AskQuestionBox(FakeWindow(0x1230), "question text");
    EXPECT_EQ(IDCANCEL, ShowMessage(FakeWindow(0x4560), "any text", "any caption", MB_OKCANCEL | MB_ICONWARNING));

    const std::vector<MessageRecorder::Call>& calls = recorder.Calls();
    ASSERT_EQ(4u, calls.size());

    EXPECT_EQ(nullptr, calls[0].owner);
    EXPECT_EQ("error text", calls[0].text);
    EXPECT_EQ(kErrorCaption, calls[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND), calls[0].style);

    EXPECT_EQ(nullptr, calls[1].owner);
    EXPECT_EQ("notice text", calls[1].text);
    EXPECT_EQ(kNoticeCaption, calls[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND), calls[1].style);

    EXPECT_EQ(FakeWindow(0x1230), calls[2].owner);
    EXPECT_EQ("question text", calls[2].text);
    EXPECT_EQ(kQuestionCaption, calls[2].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), calls[2].style);

    EXPECT_EQ(FakeWindow(0x4560), calls[3].owner);
    EXPECT_EQ("any text", calls[3].text);
    EXPECT_EQ("any caption", calls[3].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING), calls[3].style);
}

TEST(MessageBox, QuestionIsYesOnlyForIdYes) {
    MessageRecorder recorder(IDYES);
    EXPECT_TRUE(AskQuestionBox(nullptr, "q"));
    for (int answer : {IDNO, IDCANCEL, IDOK, 0}) {
        recorder.SetAnswer(answer);
        EXPECT_FALSE(AskQuestionBox(nullptr, "q")) << "answer " << answer;
    }
}

TEST(MessageBox, RecordersNestAndPutTheDefaultBack) {
    {
        MessageRecorder outer;
        {
            MessageRecorder inner;
            ShowNoticeBox("inner");
            EXPECT_EQ(1u, inner.Calls().size());
        }
        ShowNoticeBox("outer");
        ASSERT_EQ(1u, outer.Calls().size());
        EXPECT_EQ("outer", outer.Calls()[0].text);
    }
    WideRecording wide(IDOK);
    ShowNoticeBox("after");
    ASSERT_EQ(1u, wideCalls.size());
    EXPECT_EQ(L"after", wideCalls[0].text);
}

TEST(MessageBox, JapaneseTextsReachTheWideCallAsUtf16) {
    WideRecording wide(IDOK);
    ShowErrorBox(kAlreadyRunning);
    ShowNoticeBox("既に起動しています。");
    ShowMessage(nullptr, nullptr, nullptr, MB_OK);
    ASSERT_EQ(3u, wideCalls.size());

    const std::wstring text{0x65E2, 0x306B, 0x8D77, 0x52D5, 0x3057, 0x3066, 0x3044, 0x307E, 0x3059, 0x3002};
    EXPECT_EQ(nullptr, wideCalls[0].owner);
    EXPECT_EQ(text, wideCalls[0].text);
    EXPECT_EQ((std::wstring{0x30A8, 0x30E9, 0x30FC, 0x60C5, 0x5831}), wideCalls[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND), wideCalls[0].style);

    EXPECT_EQ(text, wideCalls[1].text);
    EXPECT_EQ((std::wstring{0x78BA, 0x8A8D, 0x60C5, 0x5831}), wideCalls[1].caption);

    EXPECT_EQ(L"", wideCalls[2].text);
    EXPECT_EQ(L"", wideCalls[2].caption);
}

TEST(MessageBox, QuestionGoesThroughTheWideCallWithItsOwner) {
    WideRecording wide(IDYES);
    EXPECT_TRUE(AskQuestionBox(FakeWindow(0x7770), "\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48"));
    wideAnswer = IDNO;
    EXPECT_FALSE(AskQuestionBox(FakeWindow(0x7770), "x"));
    ASSERT_EQ(2u, wideCalls.size());
    EXPECT_EQ(FakeWindow(0x7770), wideCalls[0].owner);
    EXPECT_EQ((std::wstring{0x7D42, 0x4E86, 0x3057, 0x307E, 0x3059, 0x304B, 0xFF1F}), wideCalls[0].text);  // 終了しますか？
    EXPECT_EQ((std::wstring{0x78BA, 0x8A8D, 0x753B, 0x9762}), wideCalls[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), wideCalls[0].style);
}

// The test program carries its own version resource (shell_tests.rc).
TEST(MessageBox, AboutBoxShowsTheRunningProgramsVersion) {
    MessageRecorder recorder;
    EXPECT_EQ(1, ShowAboutBox(FakeWindow(0x2220)));
    ASSERT_EQ(1u, recorder.Calls().size());
    const MessageRecorder::Call& call = recorder.Calls()[0];
    EXPECT_EQ(FakeWindow(0x2220), call.owner);
    EXPECT_EQ(kAboutCaption, call.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND), call.style);
    EXPECT_EQ("Veldakor shell tests (" + std::string(ABOUT_PLATFORM) +
                  ")\r\n"
                  "Version 1.2.3.4\r\n"
                  "\r\n"
                  "Copyright (C) Veldakor test authors\r\n"
                  "\r\n"
                  "LIBPNG Version " PNG_LIBPNG_VER_STRING "\r\n"
                  "ZLIB Version " ZLIB_VERSION "\r\n" +
                  ABOUT_CREDIT_ICONS + "\r\n" + ABOUT_CREDIT_ARTWORK,
              call.text);
}

}  // namespace
