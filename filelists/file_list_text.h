#pragma once
// What a file must look like to be read as a file list, and the paths its lines name.
// Shared by the window and vorrinc.
#include "toolkit/string_list.h"

// The lines of a file that is plainly not a list of paths: binary (a control character in
// any line; a NUL is read as one), or more than half of the lines that aren't blank
// holding what no path holds. Such a file is refused whole, not reported line by line.
bool PlainlyNotAList(const StringList& lines);

// The entries of a list read from `listPath`: its relative lines read against the list's own
// folder, so that they name the same files wherever the current folder is and wherever the
// list came from. Blank lines stay as they are.
StringList ListEntries(const StringList& lines, const std::string& listPath);
