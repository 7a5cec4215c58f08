#pragma once
// vorrinc's run: the files the command line names, each coded by the file coding job.
#include "console/command_line.h"
#include "console/exit_status.h"

// Codes what the command line names, in order, and says how it went: the files, or standard
// input to standard output when the one file named is "-".
int CodeFiles(const CommandLine& line);
