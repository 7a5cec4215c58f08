#include "engine/job_files.h"

#include "engine/coding_paths.h"
#include "engine/posix_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

static_assert(sizeof(off_t) == 8, "files past 2 GiB need 64-bit offsets");

using posix_file::Descriptor;
using posix_file::OpenFile;

// A descriptor for a regular file only: a folder or a device is no file to code. Opening
// does not wait (for a pipe's writer, say); a regular file ignores the flag.
std::intptr_t posix_file::OpenFile(const std::string& path, int flags)
{
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

namespace {

// Read before main, while there is one thread: umask can only be read by setting it.
const mode_t ProcessUmask = [] {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}();

bool SameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A lock on the open file that RemoveLeftCopies must take before removing it; the name must
// still be the file's (a cleaner may have removed it between creating and locking).
bool LockAsOurs(int fd, const std::string& path)
{
    struct stat opened, named;
    return flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 &&
           SameInode(opened, named);
}

} // namespace

bool JobFile::Flush()
{
    return fdatasync(Descriptor(handle_)) == 0;
}

void JobFile::StartWriteBack([[maybe_unused]] std::uint64_t offset, [[maybe_unused]] std::size_t bytes)
{
#ifdef __linux__
    sync_file_range(Descriptor(handle_), static_cast<off_t>(offset), static_cast<off_t>(bytes), SYNC_FILE_RANGE_WRITE);
#endif
}

bool JobFile::FlushAll()
{
    return fsync(Descriptor(handle_)) == 0;
}

std::optional<OpenFileIdentity> JobFile::Identity() const
{
    struct stat info;
    if (fstat(Descriptor(handle_), &info) != 0)
        return std::nullopt;
    return OpenFileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                            static_cast<std::uint32_t>(info.st_nlink), static_cast<std::uint32_t>(info.st_uid)};
}

// An open-file-description lock: the same for every name of the file, let go when the process
// dies. A file system that keeps no locks holds nothing, and the job goes on unguarded.
Hold JobFile::HoldForJob(bool exclusive)
{
    int locked;
    do
        locked = flock(Descriptor(handle_), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    return locked != 0 && errno == EWOULDBLOCK ? Hold::Busy : Hold::Held;
}

void JobFile::Close()
{
    if (IsOpen())
        ::close(Descriptor(std::exchange(handle_, Closed)));
}

std::optional<std::uint64_t> JobFile::Size() const
{
    struct stat info;
    if (fstat(Descriptor(handle_), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

// pread and pwrite may stop short (a signal, a pipe); going on until done or at the end
// makes a short count mean what it means on Windows.
bool JobFile::ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t bytes, std::size_t& read)
{
    read = 0;
    while (read < bytes) {
        const ssize_t got = pread(Descriptor(handle_), buffer + read, bytes - read,
                                  static_cast<off_t>(offset + read));
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        read += static_cast<std::size_t>(got);
    }
    return true;
}

bool JobFile::WriteAt(std::uint64_t offset, const unsigned char* buffer, std::size_t bytes,
                      std::size_t& written)
{
    written = 0;
    while (written < bytes) {
        const ssize_t put = pwrite(Descriptor(handle_), buffer + written, bytes - written,
                                   static_cast<off_t>(offset + written));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        written += static_cast<std::size_t>(put);
    }
    return true;
}

JobFile OpenToRead(const std::string& path)
{
    JobFile file(OpenFile(path, O_RDONLY));
    if (file.IsOpen())
        posix_fadvise(Descriptor(file.handle_), 0, 0, POSIX_FADV_SEQUENTIAL);
    return file;
}

JobFile OpenToRewrite(const std::string& path)
{
    return JobFile(OpenFile(path, O_RDWR));
}

// pread leaves the offset be, so the same open file serves.
JobFile ReopenToRead(JobFile& file)
{
    return JobFile(fcntl(Descriptor(file.handle_), F_DUPFD_CLOEXEC, 0));
}

JobFile CreateFileIn(const std::string& folder, std::string& path)
{
    // A hidden name of its own, readable by this user alone while it is written, whatever
    // the source's permissions: the copy gets those only once complete (GivePermissionsOf).
    // O_EXCL makes sure no file of that name is taken over.
    static std::uint64_t counter = 0;
    const auto clock = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    path.clear();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::uint64_t tag = (clock ^ (static_cast<std::uint64_t>(getpid()) << 40)) + ++counter;
        const std::string name = folder + "." + CopyFileName(tag);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 && LockAsOurs(fd, name)) {
            path = name;
            return JobFile(fd);
        }
        if (fd >= 0) {
            ::close(fd);
            continue;
        }
        if (errno != EEXIST && errno != EINTR)
            break;
    }
    return JobFile();
}

bool GivePermissionsOf(const JobFile& source, JobFile& copy)
{
    struct stat info;
    if (fstat(Descriptor(source.handle_), &info) != 0)
        return false;
    const mode_t mode = info.st_mode & 01777 & ~ProcessUmask;
    if (fchmod(Descriptor(copy.handle_), mode) == 0)
        return true;
    // A file system that keeps no permissions (FAT, say) refuses any change to the file we
    // have just made; the copy then has the bits that file system gives every file.
    return errno == EPERM || errno == ENOTSUP;
}

void RemoveLeftCopies(const std::string& folder)
{
    DIR* const listing = opendir(folder.c_str());
    if (!listing)
        return;
    while (const dirent* entry = readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.empty() || name.front() != '.' || !IsCopyFileName(name.substr(1)))
            continue;
        const std::string path = folder + std::string(name);
        // Only a regular file of this user, never through a link, and only while nobody holds
        // its lock: another user's file of that name is no copy of ours, whatever its name.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() && LockAsOurs(fd, path))
            ::unlink(path.c_str());
        ::close(fd);
    }
    closedir(listing);
}

// Its maker's alone, whoever else may read `like`: the simplest rule that is never more open.
JobFile CreateNewFile(const std::string& path, const JobFile&)
{
    return JobFile(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

JobFile OpenJournalFile(const std::string& path)
{
    return JobFile(OpenFile(path, O_RDWR | O_NOFOLLOW));
}

// The real path of the name, taken only when it still names the open file.
std::string ResolvedPath(JobFile& file, const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    struct stat opened, named;
    if (!real || fstat(Descriptor(file.handle_), &opened) != 0 || stat(real.get(), &named) != 0 ||
        !SameInode(opened, named))
        return {};
    return real.get();
}

namespace {
constexpr const char* MarkName = "user.vorrin.journal";
}

std::optional<std::string> ReadJournalMark(JobFile& file, const std::string&)
{
    std::string journal(4096, '\0');
    const ssize_t length = fgetxattr(Descriptor(file.handle_), MarkName, journal.data(), journal.size());
    if (length <= 0)
        return std::nullopt;
    journal.resize(static_cast<std::size_t>(length));
    return journal;
}

bool MarkJournal(JobFile& file, const std::string&, const std::string& journal)
{
    return fsetxattr(Descriptor(file.handle_), MarkName, journal.data(), journal.size(), 0) == 0 && file.FlushAll();
}

void UnmarkJournal(JobFile& file, const std::string&)
{
    fremovexattr(Descriptor(file.handle_), MarkName);
}
