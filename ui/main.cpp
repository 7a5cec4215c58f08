#include "mainwindow/main_form.h"
#include "ui/event_wiring.h"
#include "toolkit/message_pump.h"

#include <windows.h>

// Arguments are ignored: the program keeps no settings and starts with an empty queue.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::unique_ptr<MainForm> form = CreateMainForm(EventWiring());
    if (!form) {
        MessageBoxA(nullptr, "Can't create the main window", "Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    Run(form->Window, [&form] { DestroyMainForm(form); });
    return 0;
}
