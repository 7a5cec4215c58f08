#include "engine/file_identity.h"

#include "toolkit/handles.h"

#include <windows.h>

#include <utility>

namespace {

// The path a system call made into `path`, growing the buffer as it asks; empty on failure.
template <typename Call>
std::string PathFromCall(const std::string& path, Call call)
{
    std::string result(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD n = call(path.c_str(), result.data(), static_cast<DWORD>(result.size()));
        if (n == 0)
            return {};
        if (n < result.size()) {
            result.resize(n);
            return result;
        }
        result.resize(n); // n counts the terminating NUL when the buffer was too small
    }
    return {};
}

std::string LongPathName(const std::string& path)
{
    return PathFromCall(path, [](const char* in, char* out, DWORD size) {
        return GetLongPathNameA(in, out, size);
    });
}

std::wstring Capitals(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (n > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
        CharUpperBuffW(wide.data(), static_cast<DWORD>(n));
    }
    return wide;
}

// Attributes only and every sharing allowed: the probe must not collide with other opens.
bool ReadAttributes(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const tk::FileHandle probe(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    return probe && GetFileInformationByHandle(probe.get(), &info);
}

} // namespace

std::string FullPathName(const std::string& path)
{
    const std::string full = PathFromCall(path, [](const char* in, char* out, DWORD size) {
        return GetFullPathNameA(in, size, out, nullptr);
    });
    return full.empty() ? path : full;
}

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!ReadAttributes(path, info))
        return std::nullopt;
    FileIdentity id;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    const std::string full = FullPathName(path);
    const std::string longName = LongPathName(full);
    id.name = Capitals(longName.empty() ? full : longName);
    return id;
}
