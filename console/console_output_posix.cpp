#include "console/console_output.h"

#include <unistd.h>

#include <cerrno>

namespace {

// A reader that went away (a closed pipe) is no reason to stop coding: what can't be
// written is dropped.
void WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

bool ErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

void WriteError(std::string_view text)
{
    WriteAll(STDERR_FILENO, text);
}

void WriteOutput(std::string_view text)
{
    WriteAll(STDOUT_FILENO, text);
}
