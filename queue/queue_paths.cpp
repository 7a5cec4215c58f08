#include "queue/queue_paths.h"

#include <algorithm>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool StartsWithDrive(std::string_view path)
{
    const auto letter = static_cast<unsigned char>(path.empty() ? 0 : path[0]);
    return path.size() >= 2 && path[1] == ':' && ((letter | 0x20) >= 'a' && (letter | 0x20) <= 'z');
}

// "C:" of "C:\x\", "\\server\share" of "\\server\share\x\"; empty for anything else.
std::string_view RootOf(std::string_view folder)
{
    if (StartsWithDrive(folder))
        return folder.substr(0, 2);
    if (folder.size() < 2 || !IsSeparator(folder[0]) || !IsSeparator(folder[1]))
        return {};
    const std::size_t server = folder.find_first_of("\\/", 2);
    if (server == std::string_view::npos)
        return folder;
    const std::size_t share = folder.find_first_of("\\/", server + 1);
    return folder.substr(0, share == std::string_view::npos ? folder.size() : share);
}

} // namespace

std::string CompleteDestination(std::string_view text, char separator)
{
    std::string completed(text);
    if (!completed.empty() && completed.back() != separator)
        completed += separator;
    return completed;
}

std::vector<std::string> DestinationLevels(std::string_view text, char separator)
{
    std::vector<std::string> levels;
    for (std::size_t end = text.find(separator); end != std::string_view::npos; end = text.find(separator, end + 1))
        levels.emplace_back(text.substr(0, end + 1));
    return levels;
}

StringList SelectionToPaths(std::string_view selection)
{
    StringList paths;
    const std::size_t firstBreak = selection.find('\r');
    if (firstBreak == std::string_view::npos) {
        paths.Add(selection);
        return paths;
    }
    // The root folder of a drive already ends with its backslash.
    const std::string folder = CompleteDestination(selection.substr(0, firstBreak));
    paths.SetText(selection.substr(firstBreak + 1));
    for (std::size_t i = 0; i < paths.Count(); ++i)
        paths.SetItem(i, folder + paths.Item(i));
    return paths;
}

bool IsRelativePath(std::string_view path)
{
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return false;
    return !(StartsWithDrive(path) && path.size() >= 3 && IsSeparator(path[2]));
}

std::string PathInFolder(std::string_view folder, std::string_view entry)
{
    if (entry.empty() || !IsRelativePath(entry))
        return std::string(entry);
    if (IsSeparator(entry[0]))
        return std::string(RootOf(folder)) + std::string(entry);
    if (StartsWithDrive(entry)) {
        const bool sameDrive = StartsWithDrive(folder) && (folder[0] | 0x20) == (entry[0] | 0x20);
        return (sameDrive ? std::string(folder) : std::string(entry.substr(0, 2)) + "\\") + std::string(entry.substr(2));
    }
    return std::string(folder) + std::string(entry);
}

std::string MissingFilesReport(const std::vector<std::string>& shown, std::size_t total)
{
    std::string text = "File is not exists\r";
    for (std::size_t i = 0; i < shown.size() && i < MissingNamesShown; ++i) {
        if (i > 0)
            text += '\r';
        text += shown[i];
    }
    const std::size_t listed = std::min(shown.size(), MissingNamesShown);
    if (total > listed)
        text += "\rand " + std::to_string(total - listed) + " more";
    return text;
}
