// ParseCommandLine over any arguments (the input's NULs part them, as no argument holds one).
#include "fuzz_support.h"

#include "console/command_line.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Arguments(std::string_view bytes)
{
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        arguments.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

bool Same(const CommandLine& a, const CommandLine& b)
{
    return a.action == b.action && a.value == b.value && a.into == b.into && a.overwrite == b.overwrite &&
           a.quiet == b.quiet && a.restore == b.restore && a.recursive == b.recursive && a.files == b.files;
}

// The command line written out again, each option in one of its two spellings.
std::vector<std::string> Written(const CommandLine& line, bool joined)
{
    std::vector<std::string> arguments;
    const auto option = [&](const std::string& name, const std::string& text) {
        if (joined) {
            arguments.push_back(name + "=" + text);
        } else {
            arguments.push_back(name);
            arguments.push_back(text);
        }
    };
    option("--value", line.value);
    if (!line.into.empty())
        option("--into", line.into);
    if (line.overwrite)
        arguments.push_back("--overwrite");
    if (line.quiet)
        arguments.push_back(joined ? "-q" : "--quiet");
    if (line.restore)
        arguments.push_back("--restore");
    if (line.recursive)
        arguments.push_back(joined ? "-r" : "--recursive");
    arguments.push_back("--");
    arguments.insert(arguments.end(), line.files.begin(), line.files.end());
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> arguments =
        Arguments(std::string_view(reinterpret_cast<const char*>(data), size));
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.error.empty() || parsed.line.action != CommandLine::Action::Code)
        return 0;
    Require(!parsed.line.files.empty(), "a usable command line names something to code");
    // What was understood, written out again either way, is understood the same.
    for (const bool joined : {false, true}) {
        const ParsedCommandLine again = ParseCommandLine(Written(parsed.line, joined));
        Require(again.error.empty() && Same(again.line, parsed.line), "the command line reads back the same");
    }
    return 0;
}
