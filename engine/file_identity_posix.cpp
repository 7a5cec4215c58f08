#include "engine/file_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

// The name as a comparison key, byte for byte: POSIX names are bytes and keep their case.
std::wstring Key(const std::string& name)
{
    std::wstring key;
    key.reserve(name.size());
    for (const char c : name)
        key += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return key;
}

std::string CurrentFolder()
{
    std::string folder(PATH_MAX, '\0');
    if (!getcwd(folder.data(), folder.size()))
        return {};
    folder.resize(folder.find('\0'));
    return folder;
}

} // namespace

// The path against the current folder, with "." and empty parts dropped. ".." stays: after a
// symbolic link it leads elsewhere than the text says.
std::string FullPathName(const std::string& path)
{
    const std::string folder = path.empty() || path.front() == '/' ? std::string("/") : CurrentFolder();
    if (folder.empty() || path.empty())
        return path;
    const std::string whole = folder + "/" + path;
    std::string full;
    for (std::size_t start = 0; start <= whole.size();) {
        std::size_t end = whole.find('/', start);
        if (end == std::string::npos)
            end = whole.size();
        const std::string_view part(whole.data() + start, end - start);
        if (!part.empty() && part != ".")
            (full += '/') += part;
        start = end + 1;
    }
    return full.empty() ? "/" : full;
}

namespace {

FileIdentity IdentityFrom(const struct stat& info, const std::string& path)
{
    FileIdentity id;
    id.volume = static_cast<std::uint64_t>(info.st_dev);
    id.index = static_cast<std::uint64_t>(info.st_ino);
    // Links and "." or ".." resolved, where the path leads anywhere.
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    id.name = Key(real ? std::string(real.get()) : FullPathName(path));
    return id;
}

} // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return IdentityFrom(info, path);
}

// One lstat: the answer is about the entry that was there at that moment, never about
// where a link put in its place since leads.
std::optional<FileIdentity> IdentityOfEntry(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || S_ISLNK(info.st_mode))
        return std::nullopt;
    return IdentityFrom(info, path);
}
