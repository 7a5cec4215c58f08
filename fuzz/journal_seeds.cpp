// Writes journals into the folder given, with the journal's own writer and the records a job
// makes for a file of 4 KiB: the seeds in corpus/journal. When the format changes:
//   cmake --build build/fuzz --target journal_seeds && build/fuzz/journal_seeds fuzz/corpus/journal
#include "engine/journal.h"
#include "engine/sector_checksums.h"
#include "journal_writer.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t FileBytes = 4096;
constexpr std::uint64_t RegionBytes = 4 * FileBytes;  // four steps of the whole file

JournalRecord Record(std::uint64_t done, std::uint64_t regionEnd)
{
    JournalRecord record{0, done, regionEnd, {}};
    for (std::uint64_t at = done; at < regionEnd; at += SectorBytes)
        record.sums.push_back(static_cast<std::uint32_t>(0x9E3779B9u * (at / SectorBytes + 1)));
    return record;
}

// A journal with the records given, written one after another as a job writes them.
bool Make(const std::string& path, std::vector<JournalRecord> records)
{
    const OpenFileIdentity file{1, 2, 1, 0};  // the file the seeds belong to, as the target reads it
    return WriteJournalLikeAJob(path, FileBytes, records.front().sums.front(), RegionBytes, file, records);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: journal_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool made = Make(folder + "first-record", {Record(0, FileBytes)}) &&
                      Make(folder + "two-records", {Record(0, FileBytes), Record(2048, FileBytes)}) &&
                      Make(folder + "three-records", {Record(0, 1024), Record(0, 2560), Record(1536, 4096)});
    if (!made)
        return 1;
    // Cut short before its first record was whole.
    std::filesystem::copy_file(folder + "first-record", folder + "header-only",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(folder + "header-only", 64);
    return 0;
}
