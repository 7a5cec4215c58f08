#include "console/list_file.h"

#include "console/interrupt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

bool IsStandardInput(const struct stat& info)
{
    struct stat input;
    return fstat(STDIN_FILENO, &input) == 0 && input.st_dev == info.st_dev && input.st_ino == info.st_ino;
}

// What the list is, before a byte is read.
ListFile Kind(const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return ListFile::Folder;
    if (S_ISREG(info.st_mode))
        return static_cast<std::uint64_t>(info.st_size) > LargestFileList ? ListFile::TooLarge : ListFile::Read;
    return S_ISFIFO(info.st_mode) && IsStandardInput(info) ? ListFile::Read : ListFile::NotAFile;
}

// Up to LargestFileList bytes, whatever the size said: a file may grow while it is read, and
// some (under /proc) say they hold nothing.
ListFile ReadAll(int fd, std::string& contents)
{
    constexpr std::size_t Piece = 1 << 16;
    for (;;) {
        if (!WaitForInput(fd))
            return ListFile::Interrupted;
        const std::size_t had = contents.size();
        contents.resize(had + Piece);
        const ssize_t got = ::read(fd, contents.data() + had, Piece);
        contents.resize(had + (got > 0 ? static_cast<std::size_t>(got) : 0));
        if (got == 0)
            return ListFile::Read;
        if (got < 0 && errno != EINTR && errno != EAGAIN)
            return ListFile::CantOpen;
        if (contents.size() > LargestFileList)
            return ListFile::TooLarge;
    }
}

} // namespace

ListFile LoadListFile(const std::string& path, StringList& lines)
{
    // Not blocking: opening a named pipe would wait for a writer.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (file.get() < 0 || fstat(file.get(), &info) != 0)
        return ListFile::CantOpen;
    if (const ListFile kind = Kind(info); kind != ListFile::Read)
        return kind;
    std::string contents;
    if (const ListFile read = ReadAll(file.get(), contents); read != ListFile::Read)
        return read;
    lines.SetListFileText(contents);
    return ListFile::Read;
}
