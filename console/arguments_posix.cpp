#include "console/arguments.h"

// Names are bytes here, taken as they are.
std::optional<std::vector<std::string>> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}
