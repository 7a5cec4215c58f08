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

// Equal serial and index when both identities have them. A zero serial (as under Wine's
// drives mapped from the host) or a zero index (some network file systems) says nothing,
// so such a file is compared by its full, long name, letter case ignored.
inline bool SameFile(const FileIdentity& a, const FileIdentity& b)
{
    const auto numbered = [](const FileIdentity& id) { return id.volume != 0 && id.index != 0; };
    if (numbered(a) && numbered(b))
        return a.volume == b.volume && a.index == b.index;
    return a.name == b.name;
}

// Nothing when the file can't be opened even for its attributes (it is missing, say).
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The full path name the system makes of a path against the current folder; the text
// itself when it can't make one.
std::string FullPathName(const std::string& path);
