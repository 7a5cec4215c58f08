#include "console/arguments.h"

#include "console/console_output.h"
#include "toolkit/process_text.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

// Taken through the wide calls and converted exactly, as the window takes dropped names:
// the runtime's own conversion could put a look-alike in place of a character.
std::optional<std::vector<std::string>> ProgramArguments(int, char**)
{
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count),
                                                               &LocalFree);
    if (!wide)
        return std::vector<std::string>();
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        std::optional<std::string> argument = ExactProcessText(wide.get()[i]);
        if (!argument) {
            WriteError("vorrinc: argument " + std::to_string(i) +
                       " holds a character this system can't pass on (Windows 10 1903 and later can)\n");
            return std::nullopt;
        }
        arguments.push_back(std::move(*argument));
    }
    return arguments;
}
