#include "console/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

FolderEntry::Kind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FolderEntry::Kind::File;
    if (S_ISDIR(mode))
        return FolderEntry::Kind::Folder;
    return S_ISLNK(mode) ? FolderEntry::Kind::Link : FolderEntry::Kind::Other;
}

// The kind the folder's listing gives, or the entry's own status (not its link's target) where
// the file system leaves it out.
std::optional<FolderEntry::Kind> KindOf(DIR* folder, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_REG:
        return FolderEntry::Kind::File;
    case DT_DIR:
        return FolderEntry::Kind::Folder;
    case DT_LNK:
        return FolderEntry::Kind::Link;
    case DT_UNKNOWN:
        break;
    default:
        return FolderEntry::Kind::Other;
    }
    struct stat info;
    if (fstatat(dirfd(folder), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return KindOf(info.st_mode);
}

} // namespace

std::optional<std::vector<FolderEntry>> ReadFolder(const std::string& folder)
{
    const std::unique_ptr<DIR, FolderCloser> listing(opendir(folder.c_str()));
    if (!listing)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    while (const dirent* entry = readdir(listing.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        // One that went away since the listing began is no longer there to code.
        if (const std::optional<FolderEntry::Kind> kind = KindOf(listing.get(), *entry))
            entries.push_back({name, *kind});
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

std::string OwnFolderName(const std::string& folder)
{
    const std::unique_ptr<char, decltype(&std::free)> real(realpath(folder.c_str(), nullptr), &std::free);
    const std::string path = real ? real.get() : folder;
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsLink(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}
