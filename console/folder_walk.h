#pragma once
// What a folder holds, one level at a time, for --recursive: one implementation per platform.
#include <optional>
#include <string>
#include <vector>

struct FolderEntry {
    // A link (a symbolic link, a junction) is not looked through; Other is a device, a pipe, a
    // socket: nothing to code.
    enum class Kind { File, Folder, Link, Other };
    std::string name;
    Kind kind = Kind::Other;
};

// The entries of `folder` but "." and "..", ordered by name. Nothing when it can't be read.
std::optional<std::vector<FolderEntry>> ReadFolder(const std::string& folder);

// The folder's own name, the system's links, "." and ".." resolved: "photos" for "photos/."
// or "a/../photos". Empty for a root (a drive).
std::string OwnFolderName(const std::string& folder);

// Whether the path itself is a link (a symbolic link, a junction), wherever it leads.
bool IsLink(const std::string& path);
