// vorrinc: the file coding job on the command line.
#include "console/arguments.h"
#include "console/code_files.h"
#include "console/command_line.h"
#include "console/console_output.h"
#include "console/interrupt.h"
#include "console/standard_streams.h"

#include <exception>

int main(int argc, char** argv)
{
    OpenClosedStandardStreams();
    const std::optional<std::vector<std::string>> arguments = ProgramArguments(argc, argv);
    if (!arguments)
        return UsageError;
    const ParsedCommandLine parsed = ParseCommandLine(*arguments);
    if (!parsed.error.empty()) {
        WriteError("vorrinc: " + parsed.error + "\nTry 'vorrinc --help'.\n");
        return UsageError;
    }
    switch (parsed.line.action) {
    case CommandLine::Action::Help:
        WriteOutput(UsageText());
        return AllCoded;
    case CommandLine::Action::Version:
        WriteOutput("vorrinc " VORRIN_VERSION "\n");
        return AllCoded;
    case CommandLine::Action::Code:
        break;
    }
    CatchInterrupts();
    try {
        return CodeFiles(parsed.line);
    } catch (const std::exception&) {
        WriteError("vorrinc: out of memory\n");
        return SomeNotCoded;
    }
}
