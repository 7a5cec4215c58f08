#include "console/list_file.h"

#include <windows.h>

// Opening a list never waits on Windows, and a device or a pipe has no size, so the file
// can't be read; only a folder and the size are looked at first.
ListFile LoadListFile(const std::string& path, StringList& lines)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return ListFile::CantOpen;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return ListFile::Folder;
    if (((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) > LargestFileList)
        return ListFile::TooLarge;
    return lines.LoadFromFile(path) ? ListFile::Read : ListFile::CantOpen;
}
