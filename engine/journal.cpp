#include "engine/journal.h"

#include "engine/job_files.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

namespace {

static_assert(std::endian::native == std::endian::little, "the journal is stored as the machine holds it");

constexpr char Magic[8] = {'V', 'O', 'R', 'R', 'I', 'N', 'J', '1'};
constexpr std::uint32_t Version = 1;
constexpr std::size_t HeaderBytes = 64;
constexpr std::size_t HeaderSumAt = 40;
constexpr std::size_t RecordHeadBytes = 32;
constexpr std::size_t RecordSumAt = 24;
// A region no record could hold is no journal of ours.
constexpr std::uint64_t MostRegionBytes = std::uint64_t{1} << 30;

template <typename T>
void Put(std::vector<unsigned char>& bytes, std::size_t at, T value)
{
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

template <typename T>
T Get(const std::vector<unsigned char>& bytes, std::size_t at)
{
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

bool WriteAll(JobFile& file, std::uint64_t offset, const std::vector<unsigned char>& bytes)
{
    std::size_t written = 0;
    return file.WriteAt(offset, bytes.data(), bytes.size(), written) && written == bytes.size();
}

bool ReadAll(JobFile& file, std::uint64_t offset, std::vector<unsigned char>& bytes)
{
    std::size_t read = 0;
    return file.ReadAt(offset, bytes.data(), bytes.size(), read) && read == bytes.size();
}

std::uint64_t SectorsIn(std::uint64_t bytes)
{
    return (bytes + SectorBytes - 1) / SectorBytes;
}

} // namespace

// A name holds at most 255 bytes on POSIX and 255 UTF-16 units on Windows (never more than its
// UTF-8 bytes): a file whose name is near that limit gets a journal named by the start of its
// name, cut at a character's start, and a hash of the whole name, so it is still recognisable.
std::string JournalPath(const std::string& file)
{
    constexpr std::string_view suffix = ".vorrin-journal";
    constexpr std::size_t nameLimit = 255;
    const std::size_t separator = file.find_last_of(NativePathSeparator == '/' ? "/" : "/\\");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::string_view name = std::string_view(file).substr(nameStart);
    if (name.size() + suffix.size() <= nameLimit)
        return file + std::string(suffix);
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    std::string tag = "~";
    for (int shift = 28; shift >= 0; shift -= 4)
        tag += "0123456789abcdef"[(hash >> shift) & 0xF];
    std::size_t keep = nameLimit - suffix.size() - tag.size();
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return file.substr(0, nameStart + keep) + tag + std::string(suffix);
}

bool Journal::Create(const std::string& path, std::uint64_t size, std::uint32_t firstSectorSum,
                     std::uint64_t regionBytes, JournalRecord& first)
{
    file_ = CreateNewFile(path);
    if (!file_.IsOpen())
        return false;
    path_ = path;
    size_ = size;
    firstSectorSum_ = firstSectorSum;
    regionBytes_ = regionBytes;
    last_ = JournalRecord{};
    std::vector<unsigned char> header(HeaderBytes, 0);
    std::memcpy(header.data(), Magic, sizeof Magic);
    Put(header, 8, Version);
    Put(header, 12, static_cast<std::uint32_t>(SectorBytes));
    Put(header, 16, regionBytes);
    Put(header, 24, size);
    Put(header, 32, firstSectorSum);
    Put(header, HeaderSumAt, Checksum(header.data(), HeaderSumAt));
    // The name must outlast a power cut as well as the bytes: without it the file's changes
    // could not be told.
    if (WriteAll(file_, 0, header) && Write(first) && FlushFolderOf(path))
        return true;
    Remove();
    return false;
}

Journal::Found Journal::Open(const std::string& path)
{
    file_ = OpenToRewrite(path);
    path_ = path;
    std::vector<unsigned char> header(HeaderBytes);
    std::size_t read = 0;
    if (!file_.IsOpen() || !file_.ReadAt(0, header.data(), header.size(), read))
        return Found::Unusable;
    // The header and the first record are written together: short of both, nothing was coded.
    if (read < header.size())
        return std::memcmp(header.data(), Magic, std::min(read, sizeof Magic)) == 0 ? Found::NoRecord
                                                                                    : Found::Unusable;
    if (std::memcmp(header.data(), Magic, sizeof Magic) != 0 || Get<std::uint32_t>(header, 8) != Version ||
        Get<std::uint32_t>(header, 12) != SectorBytes ||
        Get<std::uint32_t>(header, HeaderSumAt) != Checksum(header.data(), HeaderSumAt))
        return Found::Unusable;
    regionBytes_ = Get<std::uint64_t>(header, 16);
    size_ = Get<std::uint64_t>(header, 24);
    firstSectorSum_ = Get<std::uint32_t>(header, 32);
    if (regionBytes_ == 0 || regionBytes_ > MostRegionBytes || regionBytes_ % SectorBytes != 0)
        return Found::Unusable;
    JournalRecord slots[2];
    const bool valid[2] = {ReadSlot(0, slots[0]), ReadSlot(1, slots[1])};
    if (!valid[0] && !valid[1])
        return Found::NoRecord;
    const int newer = !valid[0] || (valid[1] && slots[1].sequence > slots[0].sequence) ? 1 : 0;
    last_ = std::move(slots[newer]);
    return Found::Valid;
}

std::uint64_t Journal::SlotOffset(std::uint64_t sequence) const
{
    return HeaderBytes + (sequence % 2) * (RecordHeadBytes + 4 * SectorsIn(regionBytes_));
}

bool Journal::ReadSlot(std::uint64_t slot, JournalRecord& record)
{
    std::vector<unsigned char> head(RecordHeadBytes);
    if (!ReadAll(file_, SlotOffset(slot), head))
        return false;
    record.sequence = Get<std::uint64_t>(head, 0);
    record.done = Get<std::uint64_t>(head, 8);
    record.regionEnd = Get<std::uint64_t>(head, 16);
    // A slot never written, or one that belongs to the other parity, is not a record.
    if (record.sequence == 0 || record.sequence % 2 != slot || record.done > record.regionEnd ||
        record.regionEnd > size_ || record.regionEnd - record.done > regionBytes_)
        return false;
    const std::uint32_t stored = Get<std::uint32_t>(head, RecordSumAt);
    std::vector<unsigned char> bytes(RecordHeadBytes + 4 * SectorsIn(record.regionEnd - record.done));
    if (!ReadAll(file_, SlotOffset(slot), bytes))
        return false;
    Put<std::uint32_t>(bytes, RecordSumAt, 0);
    if (Checksum(bytes.data(), bytes.size()) != stored)
        return false;
    record.sums.resize(SectorsIn(record.regionEnd - record.done));
    std::memcpy(record.sums.data(), bytes.data() + RecordHeadBytes, 4 * record.sums.size());
    return true;
}

bool Journal::Write(JournalRecord& record)
{
    record.sequence = last_.sequence + 1;
    if (WriteSlot(record)) {
        last_ = record;
        return true;
    }
    // Linux drops what a failed flush covered, yet reads it back: a run after this one would
    // take the record for the file's state while the disk holds an older one in that slot,
    // and its next record would go over the last good one. The slot gets the last record
    // instead: the file changed only as far as that one says.
    if (last_.sequence > 0) {
        JournalRecord last = last_;
        last.sequence = record.sequence;
        WriteSlot(last);
    }
    return false;
}

bool Journal::WriteSlot(const JournalRecord& record)
{
    std::vector<unsigned char> bytes(RecordHeadBytes + 4 * record.sums.size(), 0);
    Put(bytes, 0, record.sequence);
    Put(bytes, 8, record.done);
    Put(bytes, 16, record.regionEnd);
    std::memcpy(bytes.data() + RecordHeadBytes, record.sums.data(), 4 * record.sums.size());
    Put(bytes, RecordSumAt, Checksum(bytes.data(), bytes.size()));
    return WriteAll(file_, SlotOffset(record.sequence), bytes) && file_.Flush();
}

bool Journal::Remove()
{
    file_.Close();
    return RemoveFile(path_);
}
