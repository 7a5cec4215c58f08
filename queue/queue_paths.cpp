#include "queue/queue_paths.h"

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
