#pragma once
#include <string>

// The folder of the program file, with its final separator; empty when the process code
// page cannot name it exactly.
std::string ProgramFolder();
