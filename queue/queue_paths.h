#pragma once
// The text rules of the queue: the destination folder a run prepares and the paths an
// Add dialog selection stands for. Pure functions, free of Windows calls.
#include "toolkit/string_list.h"

#include <string>
#include <string_view>
#include <vector>

// The destination text as the run uses it: a text that is not empty ends with a backslash
// (or the separator given).
std::string CompleteDestination(std::string_view text, char separator = '\\');

// Every leading part of the text that ends at a backslash (or the separator given),
// shortest first: the folders to create, level by level, so that the whole destination exists.
std::vector<std::string> DestinationLevels(std::string_view text, char separator = '\\');

// The paths the Add dialog's result stands for: the one full path it holds, or, when it
// holds CRs, the folder before the first CR joined to each name after it.
StringList SelectionToPaths(std::string_view selection);
