#include "support/file_dialog_driver.h"

#include "support/window_fixture.h"

#include <commdlg.h>
#include <dlgs.h>

namespace dialog_driver {

namespace {

constexpr DWORD WaitLimitMs = 10000;

struct DialogSearch {
    std::string title;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (window != search.except && IsWindowVisible(window) && std::string(className) == "#32770" &&
        (search.title.empty() || search.title == TextWithoutMessages(window))) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

void CancelEverything(DWORD thread)
{
    for (int round = 0; round < 40; ++round) {
        if (const HWND found = FindDialog(thread))
            Press(found, IDCANCEL);
        Sleep(100);
    }
}

} // namespace

HWND FindDialog(DWORD thread, const std::string& title, HWND except)
{
    DialogSearch search{title, except, nullptr};
    EnumThreadWindows(thread, MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD thread, const std::string& title, HWND except)
{
    for (DWORD waited = 0; waited < WaitLimitMs; waited += 50) {
        if (const HWND found = FindDialog(thread, title, except))
            return found;
        Sleep(50);
    }
    return nullptr;
}

int AnswerPromptsUntilGone(DWORD thread, HWND dialog, int button)
{
    int answered = 0;
    for (DWORD waited = 0; waited < WaitLimitMs; waited += 50) {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog))
            return answered;
        if (const HWND prompt = FindDialog(thread, "", dialog)) {
            Press(prompt, button);
            WaitUntilGone(prompt);
            ++answered;
        }
        Sleep(50);
    }
    return -1;
}

bool WaitUntilGone(HWND dialog)
{
    for (DWORD waited = 0; waited < WaitLimitMs; waited += 50) {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog))
            return true;
        Sleep(50);
    }
    return false;
}

void Press(HWND dialog, int button)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

bool PressUntilGone(HWND dialog, int button)
{
    Press(dialog, button);
    return WaitUntilGone(dialog);
}

HWND FileNameBox(HWND dialog)
{
    const HWND combo = GetDlgItem(dialog, cmb13);
    return combo ? combo : GetDlgItem(dialog, edt1);
}

std::string TextOf(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ProposedPath(HWND dialog)
{
    // The program shows the wide dialog, which answers this message in UTF-16.
    wchar_t path[1024] = L"";
    const LRESULT n = SendMessageW(dialog, CDM_GETFILEPATH, 1024, reinterpret_cast<LPARAM>(path));
    char text[4096] = "";
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, path, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

void TypeAndConfirm(HWND dialog, const std::string& name)
{
    SendMessageA(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Press(dialog, IDOK);
}

bool AnswerWithName(DWORD thread, const std::string& name, const std::string& title)
{
    const HWND dialog = WaitForDialog(thread, title);
    if (!dialog)
        return false;
    TypeAndConfirm(dialog, name);
    return WaitUntilGone(dialog);
}

DialogHelper::DialogHelper(std::function<bool(DWORD thread)> answer)
    : worker_([this, answer = std::move(answer), thread = GetCurrentThreadId()] {
          answered_ = answer(thread);
          if (!answered_)
              CancelEverything(thread);
          done_ = true;
      })
{
}

DialogHelper::~DialogHelper()
{
    Finish();
}

bool DialogHelper::Finish()
{
    if (worker_.joinable())
        worker_.join();
    return answered_;
}

} // namespace dialog_driver
