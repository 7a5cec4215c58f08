#include "engine/journal.h"

#include "engine/job_files.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

namespace {

static_assert(std::endian::native == std::endian::little, "the journal is stored as the machine holds it");

constexpr char Magic[8] = {'V', 'O', 'R', 'R', 'I', 'N', 'J', '1'};
constexpr std::uint32_t Version = 2;
constexpr std::uint32_t FirstVersion = 1;  // names no file
constexpr std::size_t HeaderBytes = 64;
constexpr std::size_t HeaderSumAt = 40;
constexpr std::size_t VolumeAt = 48;
constexpr std::size_t IndexAt = 56;
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
namespace {

std::string NameBeside(const std::string& file, std::string_view suffix)
{
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

// Another user may plant a journal beside a file in a folder both can write: only the file's
// owner, whoever runs this, or the administrator make one that is believed.
bool Trusted(std::uint32_t journalOwner, const OpenFileIdentity& file)
{
    return journalOwner == file.owner || journalOwner == CurrentUser() || journalOwner == 0;
}

// The journal names the file by its volume and number. A volume numbered anew (a disk
// mounted again) still holds the same file when the journal lies on the file's volume.
bool NamesFile(std::uint64_t volume, std::uint64_t index, const OpenFileIdentity& journal, const OpenFileIdentity& file)
{
    return index == file.index && (volume == file.volume || journal.volume == file.volume);
}

} // namespace

std::string JournalPath(const std::string& file)
{
    return NameBeside(file, ".vorrin-journal");
}

std::string TemporaryJournalPath(const std::string& file)
{
    return NameBeside(file, ".vorrin-journal-new");
}

bool Journal::Prepare(const std::string& temporary, const JobFile& like, std::uint64_t size,
                      std::uint32_t firstSectorSum, std::uint64_t regionBytes, const OpenFileIdentity& file,
                      JournalRecord& first)
{
    // Left by a run that died before its journal took its name (the file never changed): gone
    // when it is surely ours, a file (not a link) that this user made.
    file_ = CreateNewFile(temporary, like);
    if (!file_.IsOpen()) {
        const std::optional<OpenFileIdentity> left = OpenJournalFile(temporary).Identity();
        if (left && left->owner == CurrentUser() && RemoveFile(temporary))
            file_ = CreateNewFile(temporary, like);
    }
    if (!file_.IsOpen())
        return false;
    path_ = temporary;
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
    Put(header, VolumeAt, file.volume);
    Put(header, IndexAt, file.index);
    Put(header, HeaderSumAt, Checksum(header.data(), header.size()));
    if (WriteAll(file_, 0, header) && Write(first))
        return true;
    Remove();
    return false;
}

// The name must outlast a power cut as well as the bytes: without it the file's changes could
// not be told.
Renamed Journal::Publish(const std::string& path)
{
    const Renamed renamed = RenameNoReplace(file_, path_, path);
    if (renamed != Renamed::Done) {
        file_.Close();
        RemoveFile(path_);
        return renamed;
    }
    path_ = path;
    if (FlushFolderOf(path) && file_.IsOpen())
        return Renamed::Done;
    Remove();
    return Renamed::Failed;
}

JournalFound Journal::Open(const std::string& path, const OpenFileIdentity& file, std::uint64_t size)
{
    path_ = path;
    file_ = OpenJournalFile(path);
    if (!file_.IsOpen()) {
        // Another user's, which this one may not even open, is named as such.
        const std::optional<std::uint32_t> owner = OwnerOf(path);
        owner_ = owner.value_or(0);
        return owner && !Trusted(*owner, file) ? JournalFound::NotTrusted
               : PathExists(path)              ? JournalFound::Damaged
                                               : JournalFound::Missing;
    }
    const std::optional<OpenFileIdentity> journal = file_.Identity();
    if (!journal)
        return JournalFound::Damaged;
    owner_ = journal->owner;
    if (!Trusted(owner_, file))
        return JournalFound::NotTrusted;
    JournalFound found = ReadHeader(file, size);
    if (found != JournalFound::Valid)
        return found;
    JournalRecord slots[2];
    const SlotRead reads[2] = {ReadSlot(0, slots[0]), ReadSlot(1, slots[1])};
    if (reads[0] == SlotRead::Failed || reads[1] == SlotRead::Failed)
        return JournalFound::Damaged;
    const bool valid[2] = {reads[0] == SlotRead::Record, reads[1] == SlotRead::Record};
    // Made whole before it took its name: a journal without a record is damaged.
    if (!valid[0] && !valid[1])
        return JournalFound::Damaged;
    const int newer = !valid[0] || (valid[1] && slots[1].sequence > slots[0].sequence) ? 1 : 0;
    last_ = std::move(slots[newer]);
    return JournalFound::Valid;
}

JournalFound Journal::ReadHeader(const OpenFileIdentity& file, std::uint64_t size)
{
    std::vector<unsigned char> header(HeaderBytes);
    if (!ReadAll(file_, 0, header) || std::memcmp(header.data(), Magic, sizeof Magic) != 0 ||
        Get<std::uint32_t>(header, 12) != SectorBytes)
        return JournalFound::Damaged;
    const std::uint32_t version = Get<std::uint32_t>(header, 8);
    const std::uint32_t stored = Get<std::uint32_t>(header, HeaderSumAt);
    Put<std::uint32_t>(header, HeaderSumAt, 0);
    const bool sound = version == Version        ? stored == Checksum(header.data(), header.size())
                       : version == FirstVersion ? stored == Checksum(header.data(), HeaderSumAt)
                                                 : false;
    regionBytes_ = Get<std::uint64_t>(header, 16);
    size_ = Get<std::uint64_t>(header, 24);
    firstSectorSum_ = Get<std::uint32_t>(header, 32);
    if (!sound || regionBytes_ == 0 || regionBytes_ > MostRegionBytes || regionBytes_ % SectorBytes != 0)
        return JournalFound::Damaged;
    const std::optional<OpenFileIdentity> journal = file_.Identity();
    if (version == Version && (!journal || !NamesFile(Get<std::uint64_t>(header, VolumeAt),
                                                      Get<std::uint64_t>(header, IndexAt), *journal, file)))
        return JournalFound::OtherFile;
    return size_ == size ? JournalFound::Valid : JournalFound::OtherFile;
}

std::uint64_t Journal::SlotOffset(std::uint64_t sequence) const
{
    return HeaderBytes + (sequence % 2) * (RecordHeadBytes + 4 * SectorsIn(regionBytes_));
}

// A slot that can't be read is not one without a record: the other slot's may be older.
Journal::SlotRead Journal::ReadSlot(std::uint64_t slot, JournalRecord& record)
{
    std::vector<unsigned char> head(RecordHeadBytes);
    std::size_t read = 0;
    if (!file_.ReadAt(SlotOffset(slot), head.data(), head.size(), read))
        return SlotRead::Failed;
    if (read < head.size())
        return SlotRead::NoRecord;
    record.sequence = Get<std::uint64_t>(head, 0);
    record.done = Get<std::uint64_t>(head, 8);
    record.regionEnd = Get<std::uint64_t>(head, 16);
    // A slot never written, or one that belongs to the other parity, is not a record.
    if (record.sequence == 0 || record.sequence % 2 != slot || record.done > record.regionEnd ||
        record.regionEnd > size_ || record.regionEnd - record.done > regionBytes_)
        return SlotRead::NoRecord;
    const std::uint32_t stored = Get<std::uint32_t>(head, RecordSumAt);
    std::vector<unsigned char> bytes(RecordHeadBytes + 4 * SectorsIn(record.regionEnd - record.done));
    if (!file_.ReadAt(SlotOffset(slot), bytes.data(), bytes.size(), read))
        return SlotRead::Failed;
    Put<std::uint32_t>(bytes, RecordSumAt, 0);
    if (read < bytes.size() || Checksum(bytes.data(), bytes.size()) != stored)
        return SlotRead::NoRecord;
    record.sums.resize(SectorsIn(record.regionEnd - record.done));
    if (!record.sums.empty())  // an empty vector may have no storage to copy to
        std::memcpy(record.sums.data(), bytes.data() + RecordHeadBytes, 4 * record.sums.size());
    return SlotRead::Record;
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
    if (!record.sums.empty())  // an empty record's sums may have no storage to copy from
        std::memcpy(bytes.data() + RecordHeadBytes, record.sums.data(), 4 * record.sums.size());
    Put(bytes, RecordSumAt, Checksum(bytes.data(), bytes.size()));
    return WriteAll(file_, SlotOffset(record.sequence), bytes) && file_.Flush();
}

bool Journal::Remove()
{
    file_.Close();
    return RemoveFile(path_) && FlushFolderOf(path_);
}
