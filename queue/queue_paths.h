#pragma once
// The text rules of the queue: the destination folder a run prepares, the paths an Add
// dialog selection stands for, relative paths and the report of missing files. Pure
// functions, free of Windows calls.
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

// A path whose meaning depends on a current folder or drive: not "X:\..." and not "\\...".
// "a.bin", "sub\a.bin", "\a.bin", "C:a.bin" and the empty text are relative.
bool IsRelativePath(std::string_view path);

// A relative entry read against `folder` (a full path ending with a backslash) instead of
// the current folder: "\a.bin" against the folder's drive or share, "C:a.bin" against the
// folder when it is on drive C and against C:\ otherwise. Other texts are returned as they
// are; no "." or ".." is resolved here.
std::string PathInFolder(std::string_view folder, std::string_view entry);

// Names shown in the report of entries that name no file; the others are counted.
inline constexpr std::size_t MissingNamesShown = 10;

// One report for all the entries of a command that name no file: "File is not exists" and
// the first MissingNamesShown of `shown`, then "and N more" for the rest of `total`.
std::string MissingFilesReport(const std::vector<std::string>& shown, std::size_t total);
