#pragma once
// The files a command line names, in order: files as named (wildcards expanded on Windows), a
// list's entries where the list stands, and with --recursive every regular file under each
// folder named.
#include "console/command_line.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct FileToCode {
    std::string path;       // as the job takes it: a full path, or a list's entry
    // Where its coded copy goes below the destination folder: empty for a file named itself;
    // for one found in a tree, the tree's folder name and the folders down to the file, each
    // followed by a separator.
    std::string subfolder;
};

struct GatheredFiles {
    std::vector<FileToCode> files;
    std::size_t failed = 0;   // folders that can't be read, patterns that match nothing
    std::size_t skipped = 0;  // links and what is not a regular file, found in a tree
};

// Each problem met is said on standard error, naming the path. Nothing when a list can't be
// used (`problem` says why): then nothing may be touched.
std::optional<GatheredFiles> GatherFiles(const CommandLine& line, std::string& problem);
