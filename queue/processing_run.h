#pragma once
// The processing run: codes every unprocessed row one after another.
#include "engine/keystream_coder.h"

extern bool StopRequested;   // take up no further row
extern bool RescanRequested; // make one more pass over the whole list
// Set when the user confirms closing the main window during a run; never cleared. The
// current file is finished or undone, and the run ends.
extern bool ExitRequested;

// A run is in progress exactly while the coder value edit is disabled.
bool RunInProgress();
// Codes every row with an empty mark; returns when the run is over. Callers test
// RunInProgress first.
void StartRun(CoderValue value);
// Completes the destination text with a final backslash and creates its missing levels.
void PrepareDestination();
// The Stop button's click.
void StopButtonClick();
