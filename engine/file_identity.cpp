#include "engine/file_identity.h"

#include "toolkit/handles.h"
#include "toolkit/process_text.h"

#include <windows.h>
#include <winternl.h>

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

// Attributes only and every sharing allowed: the probe must not collide with other opens.
tk::FileHandle OpenProbe(const std::string& path)
{
    return tk::FileHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
}

// A link's own folder says nothing of where its file lies; nor does a path whose attributes
// can't be read.
bool MayBeLink(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The full, long name in capitals. Generated short names carry a '~'; the long name is looked
// up only then, since that takes a directory search for every folder level.
std::wstring NameOf(const std::string& full)
{
    const std::string longName = full.find('~') != std::string::npos ? LongPathName(full) : std::string();
    return Capitals(longName.empty() ? full : longName);
}

} // namespace

std::optional<std::uint64_t> IndexAlone(void* file)
{
    IO_STATUS_BLOCK status{};
    LARGE_INTEGER index{};
    if (!file || file == INVALID_HANDLE_VALUE ||
        NtQueryInformationFile(file, &status, &index, sizeof index, FileInternalInformation) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(index.QuadPart);
}

std::string FullPathName(const std::string& path)
{
    const std::string full = PathFromCall(path, [](const char* in, char* out, DWORD size) {
        return GetFullPathNameA(in, size, out, nullptr);
    });
    return full.empty() ? path : full;
}

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    return IdentityProbe().Of(path);
}

std::optional<FileIdentity> IdentityOfEntry(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::nullopt;
    return IdentityOf(path);
}

std::optional<FileIdentity> IdentityProbe::Of(const std::string& path)
{
    const std::string full = FullPathName(path);
    const std::string folder = full.substr(0, full.find_last_of('\\') + 1);
    const tk::FileHandle probe = OpenProbe(path);
    if (!probe)
        return std::nullopt;
    const bool onFolderVolume = !folder.empty() && !MayBeLink(path);
    if (onFolderVolume && folder == folder_) {
        if (const std::optional<std::uint64_t> index = IndexAlone(probe.get()))
            return FileIdentity{volume_, *index, NameOf(full)};
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(probe.get(), &info))
        return std::nullopt;
    if (onFolderVolume) {
        folder_ = folder;
        volume_ = info.dwVolumeSerialNumber;
    }
    return FileIdentity{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                        NameOf(full)};
}
