#include "engine/partly_coded_files.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

struct PartlyCodedFile {
    std::string path;  // full and long
    CodedRange range;
};

std::vector<PartlyCodedFile> Remembered;

// One spelling for every way of naming the file: relative parts resolved, short names
// made long where the file can be found.
std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return path;
    char longName[MAX_PATH];
    const DWORD longLength = GetLongPathNameA(full, longName, MAX_PATH);
    return longLength != 0 && longLength < MAX_PATH ? std::string(longName) : std::string(full);
}

std::vector<PartlyCodedFile>::iterator Find(const std::string& path)
{
    const std::string full = FullPath(path);
    return std::find_if(Remembered.begin(), Remembered.end(), [&](const PartlyCodedFile& file) {
        return lstrcmpiA(file.path.c_str(), full.c_str()) == 0;
    });
}

} // namespace

void RememberPartlyCoded(const std::string& path, const CodedRange& range)
{
    const auto found = Find(path);
    if (found != Remembered.end())
        found->range = range;
    else
        Remembered.push_back({FullPath(path), range});
}

std::optional<CodedRange> FindPartlyCoded(const std::string& path)
{
    const auto found = Find(path);
    return found != Remembered.end() ? std::optional<CodedRange>(found->range) : std::nullopt;
}

void ForgetPartlyCoded(const std::string& path)
{
    const auto found = Find(path);
    if (found != Remembered.end())
        Remembered.erase(found);
}

std::string CodedRangeText(const CodedRange& range)
{
    return "Bytes " + std::to_string(range.from) + " to " + std::to_string(range.to - 1) + " of " +
           std::to_string(range.size) + " are coded";
}
