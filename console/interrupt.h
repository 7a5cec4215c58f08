#pragma once
// Ctrl+C and its kin (SIGINT, SIGTERM, SIGHUP; the console's control events on Windows) are
// noticed, not obeyed at once: the current file is finished or undone first, then vorrinc
// stops. A program killed mid-file would leave it half coded.
void CatchInterrupts();
bool Interrupted();
// Called once the files are left whole: a console that is closing may end the program now.
void FilesAreWhole();
#ifndef _WIN32
// Waits until the descriptor has something to read (or its end, or an error); false when an
// interrupt came first. Every read that may wait for a writer waits here, or Ctrl+C would
// go unnoticed until the input came.
bool WaitForInput(int descriptor);
#else
#include <windows.h>
// Waits until `object` (the event of a read on another thread, say) is signalled; false when
// an interrupt came first. Every read that may wait for a writer waits here, or Ctrl+C would go unnoticed until
// the input came.
bool WaitUnlessInterrupted(HANDLE object);
#endif
