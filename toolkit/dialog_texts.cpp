#include "toolkit/dialog_texts.h"

#include <algorithm>

std::string PlatformFilter(std::string_view filter)
{
    std::string list(filter);
    list += '\0';
    std::replace(list.begin(), list.end(), '|', '\0');
    return list; // its own terminator supplies the second NUL
}

std::string MultiSelectResult(std::string_view buffer)
{
    std::string text;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        if (buffer[i] != '\0') {
            text += buffer[i];
            continue;
        }
        if (i + 1 == buffer.size() || buffer[i + 1] == '\0')
            break;
        text += '\r';
    }
    return text;
}

std::string BrowserInitialPath(std::string_view text)
{
    std::string path(text);
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    if (!path.empty() && path.back() == ':')
        path += '\\';
    return path;
}
