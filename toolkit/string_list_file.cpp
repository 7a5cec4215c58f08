// Reading and writing a StringList as a file. A load that cannot read the whole file and a
// save that cannot write it both fail without touching the list or the file on disk.
// Files are UTF-8 without a signature; a line that is not UTF-8 was written before that, in
// the system's ANSI code page, and is read in it.
#include "toolkit/string_list.h"

#include "toolkit/folder_part.h"
#include "toolkit/handles.h"
#include "toolkit/process_text.h"
#include "toolkit/utf8_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

using tk::FileHandle;

// ReadFile and WriteFile take a DWORD count; bigger data goes in pieces of this size.
constexpr std::size_t IoPiece = 1u << 30;

bool ReadAll(HANDLE file, char* data, std::size_t size)
{
    while (size > 0) {
        const DWORD wanted = static_cast<DWORD>(std::min(size, IoPiece));
        DWORD got = 0;
        if (!ReadFile(file, data, wanted, &got, nullptr) || got == 0)
            return false; // failed, or the file ended sooner than its size said
        data += got;
        size -= got;
    }
    return true;
}

bool WriteAll(HANDLE file, const char* data, std::size_t size)
{
    while (size > 0) {
        const DWORD wanted = static_cast<DWORD>(std::min(size, IoPiece));
        DWORD written = 0;
        if (!WriteFile(file, data, wanted, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// The whole file, or false when it cannot be opened, held in memory or read in full.
bool ReadWholeFile(const std::string& path, std::string& contents)
{
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return false;
    const auto bytes = static_cast<std::uint64_t>(size.QuadPart);
    if (bytes > contents.max_size())
        return false;
    try {
        contents.resize(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return ReadAll(file.get(), contents.data(), contents.size());
}

// A new, empty file beside the target, so that replacing the target stays on one volume.
// Its path is stored only when it was created, so a failure never names someone else's file.
HANDLE CreateTemporaryBeside(const std::string& target, std::string& temporaryPath)
{
    static unsigned counter = 0;
    const std::string folder = FolderPart(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        // At most 15 characters. Formatted by the system: the C library's snprintf would bring
        // some 25 KB of floating-point formatting into the program.
        char name[32];
        wsprintfA(name, "~vl%04lX%04X.tmp", GetCurrentProcessId() & 0xFFFF, ++counter & 0xFFFF);
        const std::string candidate = folder + name;
        const HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            temporaryPath = candidate;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

// Refuses the targets that creating the file over them would refuse: a folder, a read-only,
// hidden or system file, and a file another handle holds open.
bool TargetCanBeReplaced(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    constexpr DWORD refused =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (attributes & refused)
        return false;
    const FileHandle probe(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(probe);
}

} // namespace

bool StringList::LoadFromFile(const std::string& path)
{
    try {
        std::string contents;
        if (!ReadWholeFile(path, contents))
            return false;
        SetListFileText(contents);
        return true;
    } catch (const std::bad_alloc&) {
        return false; // SetText leaves the list as it was when it runs out of memory
    }
}

void StringList::SetListFileText(std::string_view contents)
{
    if (contents.starts_with("\xEF\xBB\xBF"))
        contents.remove_prefix(3);
    SetText(ConvertLines(contents, ListLineAsProcessText), false);
}

bool StringList::SaveToFile(const std::string& path) const
{
    if (!TargetCanBeReplaced(path))
        return false;
    std::string temporaryPath;
    bool saved = false;
    try {
        const std::string text = Utf8FromProcessText(GetText());
        FileHandle temporary(CreateTemporaryBeside(path, temporaryPath));
        if (!temporary)
            return false;
        saved = WriteAll(temporary.get(), text.data(), text.size()) && tk::CloseFile(temporary) &&
                MoveFileExA(temporaryPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    } catch (const std::bad_alloc&) {
        saved = false;
    }
    if (!saved && !temporaryPath.empty())
        DeleteFileA(temporaryPath.c_str());
    return saved;
}
