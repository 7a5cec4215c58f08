#pragma once
// The application's one message loop and the non-blocking pump the coding job calls.
#include <windows.h>

#include <cstdint>

class Form;

// Application state, one for the process.
extern std::uint8_t AppRunning;   // non-zero while Run's loop is active
extern bool AppTerminated;        // set when WM_QUIT is taken off the queue; never cleared
extern Form* AppMainWindow;       // the window given to Run; null before and after

// The main window's handle, or 0 when there is none (owner of ownerless dialogs).
HWND AppMainWindowHandle();
