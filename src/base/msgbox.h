// The one place the program shows message boxes. Texts and captions are the
// program's CP932 strings; they are converted to UTF-16 and shown with
// MessageBoxW. The shower can be replaced, so tests never block on a box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Shows one box: owner (may be null), CP932 text and caption, MB_* style.
// Returns what MessageBoxW returns (IDOK, IDYES, ..., 0 on failure).
typedef int (*MessageShower)(HWND owner, const char* text, const char* caption, UINT style);

// The final call of the default shower, with the converted texts.
typedef int(WINAPI* WideMessageShower)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);

// Styles of the three kinds of box.
const UINT ERROR_BOX_STYLE = MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND;
const UINT NOTICE_BOX_STYLE = MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND;
const UINT QUESTION_BOX_STYLE = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND;

// Error the user must see: no owner, caption "エラー情報". The program goes
// on afterwards.
void ShowErrorBox(const char* text);

// Notice: no owner, caption "確認情報".
void ShowNoticeBox(const char* text);

// Yes/no question owned by the given window, caption "確認画面". True only
// when Yes was chosen.
bool AskQuestionBox(HWND owner, const char* text);

// Any other box (the about box): owner, text, caption and style as given.
int ShowMessage(HWND owner, const char* text, const char* caption, UINT style);

// The default shower: converts text and caption from CP932 and calls the
// wide shower.
int ShowMessageWide(HWND owner, const char* text, const char* caption, UINT style);

// Replace the shower; null restores the default. Returns the previous one.
MessageShower SetMessageShower(MessageShower shower);

// Replace the wide call behind the default shower (MessageBoxW); null
// restores MessageBoxW. Returns the previous one.
WideMessageShower SetWideMessageShower(WideMessageShower shower);

// For tests: while it lives, every box is recorded instead of shown and
// answered with the preset answer. Recorders nest; the destructor puts back
// whatever shower was installed before.
class MessageRecorder {
public:
    struct Call {
        HWND owner;
        std::string text;     // the CP932 bytes as given
        std::string caption;  // the CP932 bytes as given
        UINT style;
    };

    explicit MessageRecorder(int answer = IDOK);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void SetAnswer(int answer) { answer_ = answer; }
    const std::vector<Call>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

private:
    static int Record(HWND owner, const char* text, const char* caption, UINT style);

    int answer_;
    std::vector<Call> calls_;
    MessageShower previousShower_;
    MessageRecorder* previousRecorder_;
};
