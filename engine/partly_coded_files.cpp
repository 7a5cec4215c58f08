#include "engine/partly_coded_files.h"

#include "engine/file_identity.h"

#include <algorithm>

namespace {

struct PartlyCodedFile {
    FileIdentity file;
    CodedRange range;
};

std::vector<PartlyCodedFile> Remembered;

// The file itself is looked for, not its name: any spelling of it, or a link to it, finds it.
std::vector<PartlyCodedFile>::iterator Find(const std::string& path)
{
    // Every job asks, and probing a file costs.
    if (Remembered.empty())
        return Remembered.end();
    const std::optional<FileIdentity> file = IdentityOf(path);
    if (!file)
        return Remembered.end();
    return std::find_if(Remembered.begin(), Remembered.end(),
                        [&](const PartlyCodedFile& known) { return SameFile(known.file, *file); });
}

} // namespace

void RememberPartlyCoded(const std::string& path, const CodedRange& range)
{
    const auto found = Find(path);
    if (found != Remembered.end()) {
        found->range = range;
        return;
    }
    if (std::optional<FileIdentity> file = IdentityOf(path))
        Remembered.push_back({std::move(*file), range});
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

std::string DamagedRangesText(const std::vector<CodedRange>& damaged)
{
    std::string text = "Bytes ";
    for (const CodedRange& range : damaged) {
        if (&range != &damaged.front())
            text += ", ";
        text += std::to_string(range.from) + " to " + std::to_string(range.to - 1);
    }
    return text + " are damaged";
}
