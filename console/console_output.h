#pragma once
// Where vorrinc speaks: standard error for progress and problems, standard output for the
// closing line. Names are process text (UTF-8 on Linux, and on Windows with the manifest);
// a Windows console is given them as UTF-16, whatever its own code page.
#include <string_view>

// Standard error is a terminal (or a console) that a person watches.
bool ErrorIsTerminal();
void WriteError(std::string_view text);
void WriteOutput(std::string_view text);
