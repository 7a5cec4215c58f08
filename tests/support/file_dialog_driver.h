#pragma once
// Drives the platform's real file dialogs from a helper thread: finds a dialog of the thread
// that shows it, reads and types into it and presses its buttons.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace dialog_driver {

// A visible dialog of `thread` (with that title, unless empty), other than `except`; null
// when none appears in time.
HWND WaitForDialog(DWORD thread, const std::string& title = "", HWND except = nullptr);
// The same without waiting: null when there is none now.
HWND FindDialog(DWORD thread, const std::string& title = "", HWND except = nullptr);
// True once the dialog is closed or hidden; false when it stays.
bool WaitUntilGone(HWND dialog);
// Waits for the dialog to go, answering with `button` every other dialog of `thread` that
// it shows meanwhile (such as the question before overwriting a file). Returns how many it
// answered, or -1 when the dialog stays.
int AnswerPromptsUntilGone(DWORD thread, HWND dialog, int button);
void Press(HWND dialog, int button);
// Presses `button` and waits for the dialog to go; false when it stays.
bool PressUntilGone(HWND dialog, int button);
// The file name box: a combo box in some versions of the dialog, an edit in others.
HWND FileNameBox(HWND dialog);
std::string TextOf(HWND window);
// The full path the dialog would return for what its file name box holds now.
std::string ProposedPath(HWND dialog);
void TypeAndConfirm(HWND dialog, const std::string& name);
// Waits for a dialog of `thread` (with that title, unless empty), types `name` into it and
// confirms; true once the dialog has gone.
bool AnswerWithName(DWORD thread, const std::string& name, const std::string& title = "");

// Runs `answer` on a helper thread against the dialogs the constructing thread is about to
// show. When the answer fails it keeps cancelling that thread's dialogs for a while, so no
// test hangs.
class DialogHelper {
public:
    explicit DialogHelper(std::function<bool(DWORD thread)> answer);
    ~DialogHelper();
    DialogHelper(const DialogHelper&) = delete;
    DialogHelper& operator=(const DialogHelper&) = delete;

    // Whether the helper is through, so that Finish will not wait.
    bool Done() const { return done_; }
    // Waits for the helper; true when `answer` succeeded.
    bool Finish();

private:
    bool answered_ = false;
    std::atomic<bool> done_{false};
    std::thread worker_;
};

} // namespace dialog_driver
