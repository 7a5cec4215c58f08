#pragma once
// A file list named on the command line, read by the window's rules.
#include <optional>
#include <string>
#include <vector>

// The paths the list at `path` names, in order, blank lines left out. Nothing when it can't be
// read or is plainly no list (`problem` says which).
std::optional<std::vector<std::string>> ReadFileList(const std::string& path, std::string& problem);
