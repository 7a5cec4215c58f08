#include "console/interrupt.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> InterruptSeen{false};
// Set with InterruptSeen and never reset, so that every wait for input ends at once from then
// on, whichever thread it is on.
HANDLE Interrupt = nullptr;
// Set once the files are whole; a closing console waits for it.
HANDLE Whole = nullptr;

// Runs on a thread of its own. Ctrl+C and Ctrl+Break are taken; closing the console, logging
// off and shutting down end the process as soon as this returns, so it waits for the current
// file to be left whole (the system allows a few seconds).
BOOL WINAPI NoteInterrupt(DWORD event)
{
    InterruptSeen = true;
    if (Interrupt)
        SetEvent(Interrupt);
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && Whole)
        WaitForSingleObject(Whole, INFINITE);
    return TRUE;
}

} // namespace

void CatchInterrupts()
{
    Interrupt = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Whole = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(NoteInterrupt, TRUE);
}

bool Interrupted()
{
    return InterruptSeen;
}

bool WaitUnlessInterrupted(HANDLE object)
{
    // Without the event (none could be made) an interrupt is still noted, and the wait ends
    // when the object is signalled.
    if (!Interrupt)
        return WaitForSingleObject(object, INFINITE) == WAIT_OBJECT_0 && !Interrupted();
    // The interrupt first: when both are signalled, it wins.
    const HANDLE waits[] = {Interrupt, object};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

void FilesAreWhole()
{
    if (Whole)
        SetEvent(Whole);
}
