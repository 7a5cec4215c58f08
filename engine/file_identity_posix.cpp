#include "engine/file_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

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

std::string FullPathName(const std::string& path)
{
    if (path.empty() || path.front() == '/')
        return path;
    const std::string folder = CurrentFolder();
    if (folder.empty())
        return path;
    return folder + (folder.back() == '/' ? "" : "/") + path;
}

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;
    FileIdentity id;
    id.volume = static_cast<std::uint64_t>(info.st_dev);
    id.index = static_cast<std::uint64_t>(info.st_ino);
    // Links and "." or ".." resolved, where the path leads anywhere.
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    id.name = Key(real ? std::string(real.get()) : FullPathName(path));
    return id;
}
