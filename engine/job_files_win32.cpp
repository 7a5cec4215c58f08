#include "engine/job_files.h"

#include "toolkit/handles.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace {

HANDLE Native(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t Open(const std::string& path, DWORD access, DWORD creation, DWORD flags)
{
    return reinterpret_cast<std::intptr_t>(
        CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, creation, flags, nullptr));
}

} // namespace

JobFile::JobFile(JobFile&& other) noexcept
    : handle_(std::exchange(other.handle_, Closed)), position_(other.position_)
{
}

JobFile& JobFile::operator=(JobFile&& other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, Closed);
        position_ = other.position_;
    }
    return *this;
}

void JobFile::Close()
{
    if (IsOpen())
        CloseHandle(Native(std::exchange(handle_, Closed)));
}

std::optional<std::uint64_t> JobFile::Size() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Native(handle_), &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

// Reads and writes go on from where the last one ended; the file pointer moves only when a
// call starts elsewhere (a write back in place, an undo from the start).
bool JobFile::MoveTo(std::uint64_t offset)
{
    if (offset == position_)
        return true;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(Native(handle_), to, nullptr, FILE_BEGIN)) {
        position_ = Unknown;
        return false;
    }
    position_ = offset;
    return true;
}

bool JobFile::ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t bytes, std::size_t& read)
{
    read = 0;
    if (!MoveTo(offset))
        return false;
    DWORD got = 0;
    const bool ok = ReadFile(Native(handle_), buffer, static_cast<DWORD>(bytes), &got, nullptr);
    read = got;
    position_ = ok ? position_ + got : Unknown;
    return ok;
}

bool JobFile::WriteAt(std::uint64_t offset, const unsigned char* buffer, std::size_t bytes,
                      std::size_t& written)
{
    written = 0;
    if (!MoveTo(offset))
        return false;
    DWORD put = 0;
    const bool ok = WriteFile(Native(handle_), buffer, static_cast<DWORD>(bytes), &put, nullptr);
    written = std::min<std::size_t>(put, bytes);
    position_ = ok ? position_ + written : Unknown;
    return ok && written == bytes;
}

JobFile OpenToRead(const std::string& path)
{
    return JobFile(Open(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN));
}

JobFile OpenToRewrite(const std::string& path)
{
    return JobFile(Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS));
}

JobFile CreateFileIn(const std::string& folder, std::string& path)
{
    char name[MAX_PATH];
    path.clear();
    if (!GetTempFileNameA(folder.c_str(), "vrn", 0, name))
        return JobFile();
    // The file was just made empty. Emptying it again as it is opened would have the file
    // system (ext4, under Wine) allocate and start writing the whole copy when it is closed:
    // a quarter of a second a GiB, with the window unanswered.
    JobFile file(Open(name, GENERIC_WRITE, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN));
    LARGE_INTEGER size;
    if (file.IsOpen() && GetFileSizeEx(Native(file.handle_), &size) &&
        (size.QuadPart == 0 || SetEndOfFile(Native(file.handle_)))) {
        path = name;
        return file;
    }
    file.Close();
    DeleteFileA(name);
    return JobFile();
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr);
}

bool CanRewrite(const std::string& path)
{
    return static_cast<bool>(tk::FileHandle(Native(Open(path, GENERIC_WRITE, OPEN_EXISTING, 0))));
}

bool RenameOver(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str());
}
