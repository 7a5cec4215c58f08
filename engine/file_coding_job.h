#pragma once
// Codes one file, in place or into a destination folder, a CodingBuffer of blocks at a time.
#include "engine/coding_view.h"
#include "engine/keystream_coder.h"

#include <string>

// Codes `source` in place (empty `destinationFolder`) or into destinationFolder + its file name
// (the folder text ends with a separator and exists). A coded copy takes that name only once
// complete. In place, a failure undoes what was coded, and an exit request finishes the file
// or undoes it, whichever writes less; a file the undo cannot restore is reported with the part
// left coded and is not coded again unasked. Asks and reports through the view. True only
// when the whole file was coded and written.
bool FileCodingJob(const std::string& source, const std::string& destinationFolder,
                   CoderValue value, CodingView& view);
