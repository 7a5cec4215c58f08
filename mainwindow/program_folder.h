#pragma once
#include <string>

// The folder of the program file, with its final separator.
std::string ProgramFolder();
