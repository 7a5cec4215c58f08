#pragma once
// The program's arguments as process text.
#include <optional>
#include <string>
#include <vector>

// Nothing when an argument can't be held exactly (a name outside the code page of a Windows
// older than 10 1903); that is said on standard error.
std::optional<std::vector<std::string>> ProgramArguments(int argc, char** argv);
