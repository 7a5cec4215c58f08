#pragma once
// The application's one message loop and the non-blocking pump the coding job calls.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace tk {
class Form;
}

// Application state, one for the process.
extern std::uint8_t AppRunning;   // non-zero while Run's loop is active
extern bool AppTerminated;        // set when WM_QUIT is taken off the queue; never cleared
extern tk::Form* AppMainWindow;   // the window given to Run; null before and after

// The main window's handle, or 0 when there is none (owner of ownerless dialogs).
HWND AppMainWindowHandle();

// Takes at most one message off the queue and handles it; never waits. True when it took
// a message whose identifier is not 0.
bool ProcessMessage();
// Handles every pending message and returns as soon as the queue is empty.
void ProcessMessages();
// Blocks until a message is waiting; returns at once when one is, also one that an earlier
// look at the queue left there. A caller waiting for the user this way uses no processor.
void WaitForMessages();
// Shows the main window and handles messages until the quit arrives; then calls
// releaseMainObject, which destroys the window object with all it owns.
void Run(tk::Form& mainWindow, const std::function<void()>& releaseMainObject);
