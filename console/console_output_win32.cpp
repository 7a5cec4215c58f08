#include "console/console_output.h"

#include "toolkit/process_text.h"

#include <windows.h>

#include <algorithm>

namespace {

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

// A console shows UTF-16 as it is; a file or a pipe gets the process text's bytes.
void Write(DWORD which, std::string_view text)
{
    const HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        const std::wstring wide = WideText(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    while (!text.empty() && handle != INVALID_HANDLE_VALUE && handle != nullptr) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
        if (!WriteFile(handle, text.data(), piece, &written, nullptr) || written == 0)
            return;
        text.remove_prefix(written);
    }
}

} // namespace

bool ErrorIsTerminal()
{
    return IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

void WriteError(std::string_view text)
{
    Write(STD_ERROR_HANDLE, text);
}

void WriteOutput(std::string_view text)
{
    Write(STD_OUTPUT_HANDLE, text);
}
