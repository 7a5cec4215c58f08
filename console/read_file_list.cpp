#include "console/read_file_list.h"

#include "filelists/file_list_text.h"
#include "toolkit/string_list.h"

std::optional<std::vector<std::string>> ReadFileList(const std::string& path, std::string& problem)
{
    StringList lines;
    if (!lines.LoadFromFile(path)) {
        problem = path + ": can't open the file list";
        return std::nullopt;
    }
    if (PlainlyNotAList(lines)) {
        problem = path + ": not a file list";
        return std::nullopt;
    }
    std::vector<std::string> entries;
    for (const std::string& entry : ListEntries(lines, path))
        if (entry.find_first_not_of(" \t") != std::string::npos)
            entries.push_back(entry);
    return entries;
}
