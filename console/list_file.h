#pragma once
// A file list's lines, read so that no list can hold vorrinc up or fill its memory: one
// implementation per platform.
#include "toolkit/string_list.h"

#include <cstdint>
#include <string>

// Far more than any list of paths; a list is read whole, so anything larger is no list.
inline constexpr std::uint64_t LargestFileList = std::uint64_t{64} << 20;

enum class ListFile { Read, CantOpen, Folder, NotAFile, TooLarge, Interrupted };

// The lines of the list at `path`, read as StringList::LoadFromFile reads them. Only a regular
// file is read, and standard input named as /dev/stdin (on Windows too) when it is a pipe or a
// file: a device or a named pipe could be read from for ever, or wait for a writer that never
// comes.
ListFile LoadListFile(const std::string& path, StringList& lines);
