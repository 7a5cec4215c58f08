#include "console/standard_streams.h"

#include "console/interruptible_read_win32.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace {

HANDLE Handle(StandardStream stream)
{
    return GetStdHandle(stream == StandardStream::Input ? STD_INPUT_HANDLE : STD_OUTPUT_HANDLE);
}

bool Usable(HANDLE handle)
{
    return handle != INVALID_HANDLE_VALUE && handle != nullptr;
}

// One call at a time stays below a DWORD.
DWORD Piece(std::size_t bytes)
{
    return static_cast<DWORD>(std::min<std::size_t>(bytes, 1u << 20));
}

} // namespace

// Windows never hands a file a standard stream's handle, but a program started without them
// should still find the null device there, as everywhere else.
void OpenClosedStandardStreams()
{
    for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        if (Usable(GetStdHandle(which)))
            continue;
        const HANDLE null = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (Usable(null))
            SetStdHandle(which, null);
    }
}

bool IsTerminal(StandardStream stream)
{
    DWORD mode = 0;
    const HANDLE handle = Handle(stream);
    return Usable(handle) && GetConsoleMode(handle, &mode);
}

// The bytes go through ReadFile and WriteFile, which never translate; the runtime's streams
// are set to binary too, so nothing else that writes through them can.
void UseBinaryStreams()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

bool ReadInput(unsigned char* buffer, std::size_t bytes, std::size_t& got)
{
    got = 0;
    const HANDLE handle = Handle(StandardStream::Input);
    if (!Usable(handle))
        return false;
    return ReadUnlessInterrupted(handle, buffer, bytes, got) != PieceRead::Failed;
}

bool WriteOutputBytes(const unsigned char* data, std::size_t bytes)
{
    const HANDLE handle = Handle(StandardStream::Output);
    if (!Usable(handle))
        return false;
    while (bytes != 0) {
        DWORD written = 0;
        if (!WriteFile(handle, data, Piece(bytes), &written, nullptr) || written == 0)
            return false;
        data += written;
        bytes -= written;
    }
    return true;
}
