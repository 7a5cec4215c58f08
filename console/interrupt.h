#pragma once
// Ctrl+C and its kin (SIGINT, SIGTERM, SIGHUP; the console's control events on Windows) are
// noticed, not obeyed at once: the current file is finished or undone first, then vorrinc
// stops. A program killed mid-file would leave it half coded.
void CatchInterrupts();
bool Interrupted();
// Called once the files are left whole: a console that is closing may end the program now.
void FilesAreWhole();
