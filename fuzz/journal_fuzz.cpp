// Journal::Open over any file: the job rewrites a file by the record a journal holds, so a
// journal it accepts must describe a record that fits the file and the journal's own layout.
// An input whose first byte is even is the journal's bytes as they are. Their checksums stop
// nearly every change at random short of the records, so an odd first byte has the journal's
// own writer make it instead, from the values that follow: a file's size, a region's size and
// up to four records' `done` and `regionEnd`, 8 bytes each.
#include "fuzz_support.h"
#include "journal_writer.h"

#include "engine/journal.h"
#include "engine/sector_checksums.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// A journal made by the writer from sane records only: the last of them must be read back.
struct Written {
    std::uint64_t size = 0;
    std::uint32_t firstSectorSum = 0;
    std::uint64_t region = 0;
    JournalRecord last;
};

// The file a journal made here belongs to, and this user's.
OpenFileIdentity Belongs()
{
    return {1, 2, 1, CurrentUser()};
}

// The file a journal's header names, and its size, so that the reader goes past the header:
// random bytes almost never name the file at hand.
OpenFileIdentity NamedIn(std::string_view bytes, std::uint64_t& size)
{
    std::uint64_t at[8] = {};
    std::memcpy(at, bytes.data(), std::min(bytes.size(), sizeof at));
    size = at[3];
    return {at[6], at[7], 1, CurrentUser()};
}

// What the target asks of the journal, in two small functions: their calls follow its format.
void CheckJournal(const std::string& path, const OpenFileIdentity& file, std::uint64_t size,
                  const std::optional<Written>& written)
{
    Journal journal;
    const JournalFound found = journal.Open(path, file, size);
    Require(!written || found == JournalFound::Valid, "a journal written whole is read");
    if (found != JournalFound::Valid)
        return;
    const JournalRecord& record = journal.Last();
    const std::uint64_t region = journal.RegionBytes();
    Require(region != 0 && region % SectorBytes == 0, "the region is whole sectors");
    Require(record.done <= record.regionEnd && record.regionEnd <= journal.FileSize(),
            "done <= regionEnd <= the file's size");
    Require(record.regionEnd - record.done <= region, "the record lies within a region");
    Require(record.sums.size() == (record.regionEnd - record.done + SectorBytes - 1) / SectorBytes,
            "one checksum per sector of the record");
    if (written) {
        Require(journal.FileSize() == written->size && journal.FirstSectorSum() == written->firstSectorSum &&
                    region == written->region,
                "the header reads back as written");
        Require(record.sequence == written->last.sequence && record.done == written->last.done &&
                    record.regionEnd == written->last.regionEnd && record.sums == written->last.sums,
                "the last record written is the one read");
    }
}

// True when every record was written.
bool WriteJournal(const std::string& path, const Written& header, std::vector<JournalRecord>& records)
{
    return WriteJournalLikeAJob(path, header.size, header.firstSectorSum, header.region, Belongs(), records);
}

// Records the reader must take: within the file, a region of whole sectors at most the most a
// journal holds (1 GiB), a checksum per sector.
bool Sane(const Written& header, const std::vector<JournalRecord>& records)
{
    if (header.region == 0 || header.region % SectorBytes != 0 || header.region > (std::uint64_t{1} << 30))
        return false;
    return std::all_of(records.begin(), records.end(), [&](const JournalRecord& record) {
        return record.done <= record.regionEnd && record.regionEnd <= header.size &&
               record.regionEnd - record.done <= header.region &&
               record.sums.size() == (record.regionEnd - record.done + SectorBytes - 1) / SectorBytes;
    });
}

// The next 8 bytes of the input as a number; what is missing counts as zeros.
std::uint64_t Next(std::string_view& bytes)
{
    std::uint64_t value = 0;
    const std::size_t taken = std::min(bytes.size(), sizeof value);
    std::memcpy(&value, bytes.data(), taken);
    bytes.remove_prefix(taken);
    return value;
}

// A record as the job makes one, a checksum per sector, up to 4096 of them (a region of 2 MiB).
JournalRecord NextRecord(std::string_view& bytes)
{
    JournalRecord record;
    record.done = Next(bytes);
    record.regionEnd = Next(bytes);
    const std::uint64_t span = record.regionEnd > record.done ? record.regionEnd - record.done : 0;
    record.sums.resize(std::min<std::uint64_t>((span + SectorBytes - 1) / SectorBytes, 4096));
    for (std::size_t i = 0; i < record.sums.size(); ++i)
        record.sums[i] = static_cast<std::uint32_t>(i);
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file("journal");
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.empty() || (bytes.front() & 1) == 0) {
        std::uint64_t size = 0;
        const OpenFileIdentity named = NamedIn(bytes, size);
        CheckJournal(file.Write(bytes), named, size, std::nullopt);
        return 0;
    }
    bytes.remove_prefix(1);
    Written header;
    header.size = Next(bytes);
    header.firstSectorSum = static_cast<std::uint32_t>(header.size);
    header.region = Next(bytes);
    std::vector<JournalRecord> records{NextRecord(bytes)};
    while (!bytes.empty() && records.size() < 4)
        records.push_back(NextRecord(bytes));
    const bool whole = WriteJournal(file.Path(), header, records);
    header.last = records.back();
    CheckJournal(file.Path(), Belongs(), header.size, whole && Sane(header, records) ? std::optional(header) : std::nullopt);
    return 0;
}
