#include "toolkit/dialog_texts.h"

#include <algorithm>

std::string PlatformFilter(std::string_view filter)
{
    std::string list(filter);
    list += '\0';
    std::replace(list.begin(), list.end(), '|', '\0');
    return list; // its own terminator supplies the second NUL
}

std::wstring MultiSelectResult(std::wstring_view buffer)
{
    std::wstring text;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        if (buffer[i] != L'\0') {
            text += buffer[i];
            continue;
        }
        if (i + 1 == buffer.size() || buffer[i + 1] == L'\0')
            break;
        text += L'\r';
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
