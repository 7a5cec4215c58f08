#include "filelists/file_list_text.h"

#include <algorithm>
#include <string_view>

namespace {

bool IsControl(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return (code < 0x20 && c != '\t') || code == 0x7F;
}

// A drive's colon stands second, after "\\?\" sixth; a question mark only in that prefix.
bool CanBePath(std::string_view line)
{
    std::string_view rest = line;
    std::size_t prefix = 0;
    if (rest.starts_with("\\\\?\\") || rest.starts_with("\\\\.\\"))
        prefix = 4;
    rest.remove_prefix(prefix);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (std::string_view("<>\"|*?").find(c) != std::string_view::npos)
            return false;
        if (c == ':' && i != 1)
            return false;
    }
    return true;
}

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

bool PlainlyNotAList(const StringList& lines)
{
    std::size_t counted = 0;
    std::size_t notPaths = 0;
    for (const std::string& line : lines) {
        if (std::any_of(line.begin(), line.end(), IsControl))
            return true;
        if (IsBlank(line))
            continue;
        ++counted;
        if (!CanBePath(line))
            ++notPaths;
    }
    return notPaths * 2 > counted;
}
