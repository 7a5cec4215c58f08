#pragma once
// What a file must look like to be read as a file list. Free of Windows calls.
#include "toolkit/string_list.h"

// The lines of a file that is plainly not a list of paths: binary (a control character in
// any line; a NUL is read as one), or more than half of the lines that aren't blank
// holding what no path holds. Such a file is refused whole, not reported line by line.
bool PlainlyNotAList(const StringList& lines);
