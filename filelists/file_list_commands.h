#pragma once
// The file-list commands of the task list's pop-up menu: a queue kept as a *.flt file,
// one path per line, and brought back through the same door as files added by hand.
#include "engine/keystream_coder.h"

#include <string>

// Open File List (replace) and Merge File List (not): asks for a list with the file-list
// dialog and adds its paths with the coder value read before the dialog was shown.
void OpenFileList(bool replace);
void MergeFileList();
// Save File List as: writes the path of every queued task, top row first.
void SaveFileList();

// The part of OpenFileList after the dialog: clears (with replace), reads the list at
// `path` and adds its entries, relative ones read against the list's folder. A list that
// cannot be read whole, or a file that is plainly no list, is reported, not added.
void LoadFileList(const std::string& path, bool replace, CoderValue value);
// The part of SaveFileList after the dialog; a failed write is reported and leaves an
// existing file as it was.
void SaveFileListTo(const std::string& path);
