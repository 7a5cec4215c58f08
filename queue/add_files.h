#pragma once
// The one way files enter the queue.
#include "engine/keystream_coder.h"
#include "toolkit/string_list.h"

// Appends the entries that name existing files not yet queued under any spelling, made full
// against the current folder when relative; reports the others in one box; then starts a
// run, or asks the run under way to look again.
void AddFiles(const StringList& paths, CoderValue value);
// The Add button, Insert and Enter: asks for files with the Add dialog.
void AddFilesCommand();
