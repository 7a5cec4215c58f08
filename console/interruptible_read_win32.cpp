#include "console/interruptible_read_win32.h"

#include "console/interrupt.h"

#include <algorithm>
#include <cstring>

namespace {

// A thread that reads a piece whenever asked: one for the whole run, since under Wine making a
// thread costs milliseconds, a read's worth many times over. Never ended nor freed, and its
// handles never closed: a read abandoned at an interrupt may still land here while the
// program ends.
struct Reader {
    HANDLE asked = nullptr;  // auto-reset: a piece is wanted
    HANDLE done = nullptr;   // auto-reset: the piece is read
    HANDLE thread = nullptr;
    bool abandoned = false;  // a read was left waiting: its piece is nobody's
    HANDLE input = nullptr;
    DWORD wanted = 0;
    DWORD got = 0;
    BOOL read = FALSE;
    DWORD error = ERROR_SUCCESS;
    unsigned char bytes[64 * 1024];  // what a pipe holds; the caller asks again for more
};
Reader Pipe;

DWORD WINAPI ReadWhenAsked(void*)
{
    while (WaitForSingleObject(Pipe.asked, INFINITE) == WAIT_OBJECT_0) {
        Pipe.got = 0;
        Pipe.read = ReadFile(Pipe.input, Pipe.bytes, Pipe.wanted, &Pipe.got, nullptr);
        Pipe.error = Pipe.read ? ERROR_SUCCESS : GetLastError();
        SetEvent(Pipe.done);
    }
    return 0;
}

bool StartReader()
{
    if (!Pipe.asked)
        Pipe.asked = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!Pipe.done)
        Pipe.done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (Pipe.asked && Pipe.done && !Pipe.thread)
        Pipe.thread = CreateThread(nullptr, 64 * 1024, &ReadWhenAsked, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                   nullptr);
    return Pipe.thread != nullptr;
}

// Read on the caller's thread: a file on a disk never waits for a writer, so it is read at
// once, in larger pieces; and where no reader could be had, a pipe is read as it always was.
PieceRead ReadHere(HANDLE input, void* buffer, std::size_t bytes, std::size_t& got)
{
    DWORD read = 0;
    if (!ReadFile(input, buffer, static_cast<DWORD>(std::min<std::size_t>(bytes, 1u << 20)), &read, nullptr))
        return GetLastError() == ERROR_BROKEN_PIPE ? PieceRead::Read : PieceRead::Failed;
    got = read;
    return PieceRead::Read;
}

PieceRead ReadOnReader(HANDLE input, void* buffer, std::size_t bytes, std::size_t& got)
{
    if (Pipe.abandoned)
        return PieceRead::Failed;
    Pipe.input = input;
    Pipe.wanted = static_cast<DWORD>(std::min(bytes, sizeof Pipe.bytes));
    if (!SetEvent(Pipe.asked))
        return ReadHere(input, buffer, bytes, got);
    if (!WaitUnlessInterrupted(Pipe.done)) {
        Pipe.abandoned = true;
        return Interrupted() ? PieceRead::Interrupted : PieceRead::Failed;
    }
    if (!Pipe.read)
        return Pipe.error == ERROR_BROKEN_PIPE ? PieceRead::Read : PieceRead::Failed;
    std::memcpy(buffer, Pipe.bytes, Pipe.got);
    got = Pipe.got;
    return PieceRead::Read;
}

} // namespace

PieceRead ReadUnlessInterrupted(HANDLE input, void* buffer, std::size_t bytes, std::size_t& got)
{
    got = 0;
    if (Interrupted())
        return PieceRead::Interrupted;
    if (GetFileType(input) == FILE_TYPE_DISK || !StartReader())
        return ReadHere(input, buffer, bytes, got);
    return ReadOnReader(input, buffer, bytes, got);
}
