#include "console/folder_walk.h"

#include "engine/file_identity.h"

#include "console/find_handle_win32.h"

#include <windows.h>

#include <algorithm>

namespace {

FolderEntry::Kind KindOf(DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FolderEntry::Kind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FolderEntry::Kind::Folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? FolderEntry::Kind::Other : FolderEntry::Kind::File;
}

} // namespace

// The names come through the A calls in the process code page, UTF-8 with the manifest.
std::optional<std::vector<FolderEntry>> ReadFolder(const std::string& folder)
{
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    const FindHandle find(FindFirstFileA(pattern.c_str(), &found));
    if (!find)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            entries.push_back({name, KindOf(found.dwFileAttributes)});
    } while (FindNextFileA(find.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

// The full path name has "." and ".." resolved already.
std::string OwnFolderName(const std::string& folder)
{
    std::string path = FullPathName(folder);
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool IsLink(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
