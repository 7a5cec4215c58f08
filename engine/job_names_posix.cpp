// The POSIX file layer's calls on names and folders (job_files.h); those on open files are in
// job_files_posix.cpp.
#include "engine/job_files.h"

#include "engine/posix_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

using posix_file::Descriptor;
using posix_file::OpenFile;

namespace {

// The folder part of a path, "." for a bare name.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool FlushFolderOf(const std::string& path)
{
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = fsync(fd) == 0 || errno == EINVAL;  // some file systems can't, and need not
    ::close(fd);
    return flushed;
}

std::uint32_t CurrentUser()
{
    return static_cast<std::uint32_t>(geteuid());
}

std::optional<std::uint32_t> OwnerOf(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(info.st_uid);
}

bool PathExists(const std::string& path)
{
    // A link that leads nowhere is still something of that name.
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool CanRewrite(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
        return true;
    // Should it have become a link since, it is not followed either.
    const std::intptr_t fd = OpenFile(path, O_WRONLY | O_NOFOLLOW);
    if (fd < 0)
        return false;
    ::close(Descriptor(fd));
    return true;
}

bool RenameOver(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

// A file system that can't refuse to replace (RENAME_NOREPLACE) makes a second name and drops
// the first, which fails the same way when the name is taken.
// By name: a descriptor outlives its file's rename.
Renamed RenameNoReplace(JobFile&, const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return Renamed::Done;
    if (errno == EEXIST)
        return Renamed::Exists;
    if (errno != EINVAL && errno != ENOSYS)
        return Renamed::Failed;
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno == EEXIST ? Renamed::Exists : Renamed::Failed;
    ::unlink(from.c_str());
    return Renamed::Done;
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}
