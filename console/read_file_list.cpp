#include "console/read_file_list.h"

#include "console/list_file.h"
#include "filelists/file_list_text.h"
#include "toolkit/string_list.h"

namespace {

std::string Problem(ListFile read)
{
    switch (read) {
    case ListFile::Folder:
        return "is a folder, not a file list";
    case ListFile::NotAFile:
        return "is not a file list (only a regular file is read as one)";
    case ListFile::TooLarge:
        return "is too large for a file list (over " + std::to_string(LargestFileList >> 20) + " MiB)";
    case ListFile::Interrupted:
        return "interrupted while waiting for the file list";
    case ListFile::CantOpen:
    case ListFile::Read:
        break;
    }
    return "can't open the file list";
}

} // namespace

std::optional<std::vector<std::string>> ReadFileList(const std::string& path, std::string& problem)
{
    StringList lines;
    if (const ListFile read = LoadListFile(path, lines); read != ListFile::Read) {
        problem = path + ": " + Problem(read);
        return std::nullopt;
    }
    if (PlainlyNotAList(lines)) {
        problem = path + ": is not a file list";
        return std::nullopt;
    }
    std::vector<std::string> entries;
    for (const std::string& entry : ListEntries(lines, path))
        if (entry.find_first_not_of(" \t") != std::string::npos)
            entries.push_back(entry);
    return entries;
}
