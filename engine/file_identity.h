#pragma once
// Which file a path names, whatever its spelling: letter case, "." and "..", a short 8.3
// name, a hard link, a symbolic link.
#include <cstdint>
#include <optional>
#include <string>

struct FileIdentity {
    std::uint64_t volume = 0; // the volume's serial number (the device on POSIX); 0 when unknown
    std::uint64_t index = 0;  // the file's number on its volume; 0 when the file system has none
    std::wstring name;        // the full, long path name; in capitals on Windows, whose names ignore case
};

// A zero serial (as under Wine's drives mapped from the host) or a zero index (some network
// file systems) says nothing.
inline bool HasNumbers(const FileIdentity& id)
{
    return id.volume != 0 && id.index != 0;
}

// Equal serial and index when both identities have them; otherwise the full, long names
// decide, letter case ignored.
inline bool SameFile(const FileIdentity& a, const FileIdentity& b)
{
    if (HasNumbers(a) && HasNumbers(b))
        return a.volume == b.volume && a.index == b.index;
    return a.name == b.name;
}

// Nothing when the file can't be opened even for its attributes (it is missing, say).
std::optional<FileIdentity> IdentityOf(const std::string& path);
// The same for the entry itself: nothing for a symbolic link, which is not followed.
std::optional<FileIdentity> IdentityOfEntry(const std::string& path);

// Windows only. Identities of many files probed one after another, as adding a list of them
// does: the same as IdentityOf, but the volume's serial number, which the system is slow to
// give (under Wine the mount manager is asked, about a millisecond a file), is asked again only
// when the folder changes, since a file is on its folder's volume. A file that is a link to
// elsewhere is probed on its own.
class IdentityProbe {
public:
    std::optional<FileIdentity> Of(const std::string& path);

private:
    std::string folder_; // full path of the folder last probed, and its volume
    std::uint64_t volume_ = 0;
};

#ifdef _WIN32
// The number of an open file (a HANDLE) on its volume alone, which costs no volume query.
std::optional<std::uint64_t> IndexAlone(void* file);
#endif

// The full path name the system makes of a path against the current folder; the text
// itself when it can't make one.
std::string FullPathName(const std::string& path);
