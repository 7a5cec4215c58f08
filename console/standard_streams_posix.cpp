#include "console/standard_streams.h"

#include "console/interrupt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

int Descriptor(StandardStream stream)
{
    return stream == StandardStream::Input ? STDIN_FILENO : STDOUT_FILENO;
}

} // namespace

// open takes the lowest free descriptor: each closed one in turn.
void OpenClosedStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != fd) {
            // Nothing else may come to stand there: better no run than a file written into.
            _exit(2);
        }
    }
}

bool IsTerminal(StandardStream stream)
{
    return isatty(Descriptor(stream)) == 1;
}

void UseBinaryStreams() {}

bool ReadInput(unsigned char* buffer, std::size_t bytes, std::size_t& got)
{
    got = 0;
    for (;;) {
        if (!WaitForInput(STDIN_FILENO))
            return true;
        const ssize_t read = ::read(STDIN_FILENO, buffer, bytes);
        if (read >= 0) {
            got = static_cast<std::size_t>(read);
            return true;
        }
        // Standard input may have been left non-blocking by whoever shares it.
        if (errno != EINTR && errno != EAGAIN)
            return false;
    }
}

// SIGPIPE is ignored (CatchInterrupts), so a reader that went away is EPIPE here.
bool WriteOutputBytes(const unsigned char* data, std::size_t bytes)
{
    while (bytes != 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, bytes);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        bytes -= static_cast<std::size_t>(written);
    }
    return true;
}
