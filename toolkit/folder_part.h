#pragma once
#include <string>
#include <string_view>

// The text of a path up to and including its last "\", ":" or "/"; empty when it has none.
inline std::string FolderPart(std::string_view path)
{
    const auto last = path.find_last_of("\\:/");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}
