#include "console/command_line.h"

namespace {

// "--name=text" gives text; "--name" takes the next argument.
bool TakeText(const std::vector<std::string>& arguments, std::size_t& i, std::string_view name,
              std::string& text, std::string& error)
{
    const std::string_view argument = arguments[i];
    if (argument.size() > name.size() && argument[name.size()] == '=') {
        text = argument.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size()) {
        error = std::string(name) + " needs a value";
        return false;
    }
    text = arguments[++i];
    return true;
}

bool Named(std::string_view argument, std::string_view name)
{
    return argument == name || (argument.starts_with(name) && argument[name.size()] == '=');
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    CommandLine& line = parsed.line;
    bool valueGiven = false;
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!options || argument.size() < 2 || argument[0] != '-') {
            line.files.push_back(argument);
        } else if (argument == "--") {
            options = false;
        } else if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return parsed;
        } else if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return parsed;
        } else if (Named(argument, "--value")) {
            if (!TakeText(arguments, i, "--value", line.value, parsed.error))
                return parsed;
            valueGiven = true;
        } else if (Named(argument, "--into")) {
            if (!TakeText(arguments, i, "--into", line.into, parsed.error))
                return parsed;
            if (line.into.empty()) {
                parsed.error = "--into needs a folder";
                return parsed;
            }
        } else if (argument == "--overwrite") {
            line.overwrite = true;
        } else if (argument == "--restore") {
            line.restore = true;
        } else if (argument == "--quiet" || argument == "-q") {
            line.quiet = true;
        } else if (argument == "--recursive" || argument == "-r") {
            line.recursive = true;
        } else {
            parsed.error = "unknown option " + argument;
            return parsed;
        }
    }
    if (!valueGiven)
        parsed.error = "--value is missing";
    else if (line.files.empty())
        parsed.error = "no file to code";
    return parsed;
}

bool IsListArgument(std::string_view argument)
{
    return argument.size() > 1 && argument.front() == '@';
}

std::string UsageText()
{
    return "Usage: vorrinc --value N [--into DIR] [--overwrite] [--restore] [--recursive] [--quiet]\n"
           "               FILE... [@LIST.flt]\n"
           "       vorrinc --value N - <INPUT >OUTPUT\n"
           "Codes each file with the keystream of coder value N; coding again with the same\n"
           "value restores it. Coding is not encryption.\n"
           "\n"
           "  --value N     the coder value: a whole number, as typed into Vorrin's window\n"
           "  --into DIR    write coded copies into DIR (made when missing) instead of\n"
           "                coding the files in place; a copy gets its file's permissions\n"
           "  --overwrite   replace existing files in DIR, and code a file in place when\n"
           "                DIR is its own folder; without it they are left alone\n"
           "  -r, --recursive  code every file under each folder named; with --into the\n"
           "                tree is kept as DIR/<folder name>/...; links are not followed\n"
           "  --restore     restore a file whose coding in place was cut short (a kill, a\n"
           "                crash, a power cut) instead of finishing it; a file with\n"
           "                nothing to restore is left as it is\n"
           "  -q, --quiet   no progress and no closing line; problems are still reported\n"
           "  @LIST.flt     every file named in a file list (a regular file of at most\n"
           "                64 MiB, or @/dev/stdin), one path per line\n"
           "  -             standard input, coded to standard output (the only file named)\n"
           "  --help, --version\n"
           "\n"
           "Ctrl+C finishes or undoes the current file, whichever is quicker, then stops.\n"
           "A file coded in place has a journal beside it (FILE.vorrin-journal) until it is\n"
           "whole; if the coding was cut short, the same command with the same value\n"
           "finishes it, through any name of the file. Such a file is not copied with\n"
           "--into until it is finished or restored. A file being coded by another run\n"
           "is left alone.\n"
           "Exit status: 0 every file coded, 1 a file failed or was skipped, 2 usage error.\n"
           "See also: man vorrinc\n";
}
