#include "toolkit/message_pump.h"

#include "toolkit/form.h"

std::uint8_t AppRunning = 0;
bool AppTerminated = false;
tk::Form* AppMainWindow = nullptr;

HWND AppMainWindowHandle()
{
    return AppMainWindow ? AppMainWindow->Handle() : nullptr;
}

bool ProcessMessage()
{
    // Wide, so a typed character outside the keyboard's ANSI code page is not lost on the way
    // to an edit; windows with ANSI procedures still get their messages in ANSI.
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        AppTerminated = true;
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return msg.message != 0;
}

void ProcessMessages()
{
    while (ProcessMessage()) {
    }
}

void WaitForMessages()
{
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void Run(tk::Form& mainWindow, const std::function<void()>& releaseMainObject)
{
    ++AppRunning;
    AppMainWindow = &mainWindow;
    if (mainWindow.Exists()) {
        ShowWindow(mainWindow.Handle(), SW_SHOWNORMAL);
        UpdateWindow(mainWindow.Handle());
    }
    while (!AppTerminated) {
        WaitMessage();
        ProcessMessages();
    }
    AppTerminated = true;
    AppRunning = 0;
    AppMainWindow = nullptr;
    if (releaseMainObject)
        releaseMainObject();
}
