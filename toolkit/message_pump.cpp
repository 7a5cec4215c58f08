#include "toolkit/message_pump.h"

std::uint8_t AppRunning = 0;
bool AppTerminated = false;
Form* AppMainWindow = nullptr;

HWND AppMainWindowHandle()
{
    return nullptr; // filled in when the form exists
}
