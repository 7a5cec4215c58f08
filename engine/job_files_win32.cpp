#include "engine/job_files.h"

#include "engine/coding_paths.h"
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

// Windows has no call that starts write-back without waiting for it; the flushes behind the
// job do that work.
void JobFile::StartWriteBack(std::uint64_t, std::size_t) {}

bool JobFile::Flush()
{
    return FlushFileBuffers(Native(handle_));
}

bool JobFile::FlushAll()
{
    return Flush();
}

// The sharing of the open already holds it: a job's file is opened sharing reading alone, so
// no other job can open it to rewrite it, and none can rewrite it while it is read.
Hold JobFile::HoldForJob(bool)
{
    return Hold::Held;
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

JobFile ReopenToRead(JobFile& file)
{
    return JobFile(reinterpret_cast<std::intptr_t>(
        ReOpenFile(Native(file.handle_), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_SEQUENTIAL_SCAN)));
}

// Made new, never emptied again as it is opened: that would have the file system (ext4,
// under Wine) allocate and start writing the whole copy when it is closed, a quarter of a
// second a GiB with the window unanswered. Opened without FILE_SHARE_DELETE, so that no
// RemoveLeftCopies of another process can remove it while it is written.
JobFile CreateFileIn(const std::string& folder, std::string& path)
{
    static std::uint64_t counter = 0;
    LARGE_INTEGER clock;
    QueryPerformanceCounter(&clock);
    path.clear();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::uint64_t tag =
            (static_cast<std::uint64_t>(clock.QuadPart) ^ (std::uint64_t{GetCurrentProcessId()} << 40)) + ++counter;
        const std::string name = folder + CopyFileName(tag);
        JobFile file(Open(name, GENERIC_WRITE, CREATE_NEW, FILE_FLAG_SEQUENTIAL_SCAN));
        if (file.IsOpen()) {
            path = name;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return JobFile();
}

// A copy keeps the permissions it inherits from its folder, as a copy made in the shell does.
bool GivePermissionsOf(const JobFile&, JobFile&)
{
    return true;
}

void RemoveLeftCopies(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "vorrin-copy-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // The pattern also matches short names; only the exact long name counts. Deleting
        // fails while a running copy of the program holds the file open.
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            IsCopyFileName(found.cFileName))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// NTFS keeps its names in its own log: a file's flush makes its name durable too.
bool FlushFolderOf(const std::string&)
{
    return true;
}

std::uint32_t CurrentUser()
{
    return 0;
}

std::optional<std::uint32_t> OwnerOf(const std::string&)
{
    return std::nullopt;
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
