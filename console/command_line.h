#pragma once
// The command line of vorrinc: what to code, with which value, where to. Free of system calls.
#include <string>
#include <string_view>
#include <vector>

struct CommandLine {
    enum class Action { Code, Help, Version };
    Action action = Action::Code;
    std::string value;               // the coder value as typed
    std::string into;                // the destination folder; empty: in place
    bool overwrite = false;          // existing destinations, the source's own folder included
    bool quiet = false;              // no progress, no closing line
    bool restore = false;            // a file whose coding was cut short is restored, not finished
    bool recursive = false;          // folders named: every regular file under them
    std::vector<std::string> files;  // files, folders and @lists, in the order given; "-": a stream
};

// The command line, or what is wrong with it: `error` is empty when it could be read.
struct ParsedCommandLine {
    CommandLine line;
    std::string error;
};

// Options may come anywhere; "--" ends them. "--opt=x" and "--opt x" both work.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// An argument naming a file list: "@" followed by its path.
bool IsListArgument(std::string_view argument);

std::string UsageText();
