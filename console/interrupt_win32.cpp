#include "console/interrupt.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> InterruptSeen{false};
// Set once the files are whole; a closing console waits for it.
HANDLE Whole = nullptr;

// Runs on a thread of its own. Ctrl+C and Ctrl+Break are taken; closing the console, logging
// off and shutting down end the process as soon as this returns, so it waits for the current
// file to be left whole (the system allows a few seconds).
BOOL WINAPI NoteInterrupt(DWORD event)
{
    InterruptSeen = true;
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && Whole)
        WaitForSingleObject(Whole, INFINITE);
    return TRUE;
}

} // namespace

void CatchInterrupts()
{
    Whole = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(NoteInterrupt, TRUE);
}

bool Interrupted()
{
    return InterruptSeen;
}

void FilesAreWhole()
{
    if (Whole)
        SetEvent(Whole);
}
