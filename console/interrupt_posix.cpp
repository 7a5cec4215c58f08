#include "console/interrupt.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace {

volatile sig_atomic_t InterruptSeen = 0;
// A pipe the handler writes a byte to, so that a wait for input (poll) wakes on whichever
// thread the signal was delivered to. Never emptied: every later wait ends at once too.
int WakeRead = -1;
int WakeWrite = -1;

extern "C" void NoteInterrupt(int)
{
    const int saved = errno;
    InterruptSeen = 1;
    if (WakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(WakeWrite, &byte, 1);
    }
    errno = saved;
}

void Handle(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

void CatchInterrupts()
{
    // Without the pipe (no descriptor left) an interrupt is still noted, and a wait for input
    // ends when the input comes.
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
        WakeRead = wake[0];
        WakeWrite = wake[1];
    }
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        Handle(signal, NoteInterrupt);
    // A reader of the output that went away, or a file size limit, must not end the program
    // mid-file: the write fails instead, and the job undoes what it did.
    Handle(SIGPIPE, SIG_IGN);
    Handle(SIGXFSZ, SIG_IGN);
}

bool Interrupted()
{
    return InterruptSeen != 0;
}

bool WaitForInput(int descriptor)
{
    pollfd waits[2] = {{descriptor, POLLIN, 0}, {WakeRead, POLLIN, 0}};
    while (!Interrupted()) {
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return true;  // the read that follows reports the failure
        }
        if (waits[0].revents != 0)
            return true;
    }
    return false;
}

void FilesAreWhole() {}
