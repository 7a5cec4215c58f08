#include "console/wildcards.h"

#include "console/find_handle_win32.h"

#include <windows.h>

#include <algorithm>

// FindFirstFileA matches as the system does (a long name or its short one, "*.*" every name).
// Under the manifest's UTF-8 code page every name comes exactly; on an older system a character
// outside the ANSI code page comes as '?', which no real name holds.
Expansion ExpandWildcards(const std::string& argument, bool withFolders)
{
    const std::size_t cut = argument.find_last_of("\\/:");
    const std::string folder = cut == std::string::npos ? std::string() : argument.substr(0, cut + 1);
    if (argument.find_first_of("*?", folder.size()) == std::string::npos)
        return {{argument}, {}};
    Expansion expansion;
    WIN32_FIND_DATAA found;
    const FindHandle find(FindFirstFileA(argument.c_str(), &found));
    if (!find)
        return expansion;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == ".." || ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !withFolders))
            continue;
        (name.find('?') == std::string::npos ? expansion.names : expansion.unusable).push_back(folder + name);
    } while (FindNextFileA(find.get(), &found));
    std::sort(expansion.names.begin(), expansion.names.end());
    return expansion;
}
