#include "console/interruptible_read_win32.h"

#include "console/interrupt.h"
#include "toolkit/handles.h"

#include <algorithm>
#include <cstring>

namespace {

// The read under way, in memory that is never freed: an abandoned read may still land in it
// while the program ends. One at a time: the next starts only once this one has ended.
struct Pending {
    HANDLE input;
    DWORD wanted;
    DWORD got;
    BOOL read;
    DWORD error;
    unsigned char bytes[64 * 1024];  // what a pipe holds; the caller asks again for more
};
Pending Piece;

DWORD WINAPI ReadPiece(void*)
{
    Piece.read = ReadFile(Piece.input, Piece.bytes, Piece.wanted, &Piece.got, nullptr);
    Piece.error = Piece.read ? ERROR_SUCCESS : GetLastError();
    return 0;
}

// A file on a disk never waits for a writer: read at once, in larger pieces.
PieceRead ReadFromDisk(HANDLE input, void* buffer, std::size_t bytes, std::size_t& got)
{
    DWORD read = 0;
    if (!ReadFile(input, buffer, static_cast<DWORD>(std::min<std::size_t>(bytes, 1u << 20)), &read, nullptr))
        return PieceRead::Failed;
    got = read;
    return PieceRead::Read;
}

} // namespace

PieceRead ReadUnlessInterrupted(HANDLE input, void* buffer, std::size_t bytes, std::size_t& got)
{
    got = 0;
    if (Interrupted())
        return PieceRead::Interrupted;
    if (GetFileType(input) == FILE_TYPE_DISK)
        return ReadFromDisk(input, buffer, bytes, got);
    Piece.input = input;
    Piece.wanted = static_cast<DWORD>(std::min(bytes, sizeof Piece.bytes));
    Piece.got = 0;
    const tk::UniqueHandle<HANDLE, tk::CloseKernelHandle> thread(
        CreateThread(nullptr, 64 * 1024, &ReadPiece, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread)
        return PieceRead::Failed;
    if (!WaitUnlessInterrupted(thread.get()))
        return Interrupted() ? PieceRead::Interrupted : PieceRead::Failed;
    if (!Piece.read)
        return Piece.error == ERROR_BROKEN_PIPE ? PieceRead::Read : PieceRead::Failed;
    std::memcpy(buffer, Piece.bytes, Piece.got);
    got = Piece.got;
    return PieceRead::Read;
}
