#include "console/interrupt.h"

#include <signal.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t InterruptSeen = 0;

extern "C" void NoteInterrupt(int)
{
    InterruptSeen = 1;
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

void FilesAreWhole() {}
