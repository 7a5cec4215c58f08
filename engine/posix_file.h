#pragma once
// What the POSIX file layer's two files share: descriptors, and opening regular files only.
#include <cstdint>
#include <string>

namespace posix_file {

inline int Descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

// A descriptor for a regular file only: a folder or a device is no file to code. Opening
// does not wait (for a pipe's writer, say); a regular file ignores the flag.
std::intptr_t OpenFile(const std::string& path, int flags);

} // namespace posix_file
