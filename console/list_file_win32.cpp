#include "console/list_file.h"

#include "console/interruptible_read_win32.h"

#include <windows.h>

#include <string_view>

namespace {

// Standard input, named as natively: a pipe or a file, up to LargestFileList bytes. A
// console or a device is no list.
ListFile LoadStandardInput(StringList& lines)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const DWORD type = GetFileType(input);
    if (type != FILE_TYPE_PIPE && type != FILE_TYPE_DISK)
        return ListFile::NotAFile;
    constexpr std::size_t Piece = 1 << 16;
    std::string contents;
    for (;;) {
        const std::size_t had = contents.size();
        contents.resize(had + Piece);
        std::size_t got = 0;
        const PieceRead read = ReadUnlessInterrupted(input, contents.data() + had, Piece, got);
        contents.resize(had + got);
        if (read != PieceRead::Read)
            return read == PieceRead::Interrupted ? ListFile::Interrupted : ListFile::CantOpen;
        if (got == 0)
            break;
        if (contents.size() > LargestFileList)
            return ListFile::TooLarge;
    }
    lines.SetListFileText(contents);
    return ListFile::Read;
}

} // namespace

// Opening a list never waits on Windows, and a device or a pipe has no size, so the file
// can't be read; only a folder and the size are looked at first.
ListFile LoadListFile(const std::string& path, StringList& lines)
{
    if (path == "/dev/stdin")
        return LoadStandardInput(lines);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return ListFile::CantOpen;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return ListFile::Folder;
    if (((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow) > LargestFileList)
        return ListFile::TooLarge;
    return lines.LoadFromFile(path) ? ListFile::Read : ListFile::CantOpen;
}
