#include "filelists/file_list_text.h"

#include "engine/file_identity.h"
#include "queue/queue_paths.h"

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

// A line of a list as the path it names, `folder` being the list's own (ending with a
// separator). The system's own rules: drives and shares on Windows, a leading slash elsewhere.
std::string EntryPath(const std::string& folder, const std::string& line)
{
#ifdef _WIN32
    return IsRelativePath(line) ? FullPathName(PathInFolder(folder, line)) : line;
#else
    return line.front() == '/' ? line : FullPathName(folder + line);
#endif
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

StringList ListEntries(const StringList& lines, const std::string& listPath)
{
    const std::string full = FullPathName(listPath);
    const std::string folder = full.substr(0, full.find_last_of("\\/") + 1);
    StringList entries;
    for (const std::string& line : lines)
        entries.Add(IsBlank(line) ? line : EntryPath(folder, line));
    return entries;
}
