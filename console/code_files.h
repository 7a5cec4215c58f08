#pragma once
// vorrinc's run: the files the command line names, each coded by the file coding job.
#include "console/command_line.h"

// Exit statuses.
inline constexpr int AllCoded = 0;
inline constexpr int SomeNotCoded = 1;  // a file failed or was skipped
inline constexpr int UsageError = 2;    // nothing was touched

// Codes what the command line names, in order, and says how it went.
int CodeFiles(const CommandLine& line);
