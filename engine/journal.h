#pragma once
// The journal kept for a file coded in place, "<file>.vorrin-journal" beside the file's
// resolved path, from before its first byte changes until it is whole again: after any ending
// (a crash, a kill, a power cut) it tells which part of the file is coded. It holds no coder
// value: checksums of the original data let the value given again be checked, and each sector
// be told apart. It is made whole under a temporary name and only then takes its own, so a
// journal under its own name was whole once: one that can't be read now is damage.
//
// Layout, little-endian:
//   header, 64 bytes: "VORRINJ1", version 2, sector bytes, region bytes (the most a record
//     covers), the file's size, the checksum of its original first sector, 4 zero bytes, the
//     header's own checksum (over all 64 bytes, itself taken as 0), 4 zero bytes, the file's
//     volume (device) and its number there. Version 1, from before, ends at the checksum
//     (over the bytes before it) and names no file: its size alone is checked.
//   two record slots of 32 + 4 * (region bytes / sector bytes) bytes, written in turn, so a
//     record torn by a power cut leaves the other whole: sequence number, `done`,
//     `regionEnd`, the record's checksum (over its other bytes), 4 zero bytes, then one
//     checksum per sector of the ORIGINAL data of [done, regionEnd).
// The record with the higher sequence number whose checksum holds is the file's state:
// [0, done) coded and flushed, [done, regionEnd) being rewritten (each sector as it was,
// coded, or torn), [regionEnd, size) as it was.
#include "engine/job_files.h"
#include "engine/sector_checksums.h"

#include <cstdint>
#include <string>
#include <vector>

// The journal's name for a file, and the temporary name it is made under.
std::string JournalPath(const std::string& file);
std::string TemporaryJournalPath(const std::string& file);

struct JournalRecord {
    std::uint64_t sequence = 0;
    std::uint64_t done = 0;
    std::uint64_t regionEnd = 0;
    std::vector<std::uint32_t> sums;  // one per sector of [done, regionEnd), the last maybe short
};

// What a journal found for a file says of it.
enum class JournalFound {
    Valid,
    Missing,    // there is none of that name
    Damaged,    // it can't be read whole, or is no journal of ours
    OtherFile,  // it was made for another file (another identity or size)
    NotTrusted  // another user than the file's owner, or whoever runs this, made it
};

class Journal {
public:
    // Writes the whole journal with its first record under `temporary` (a file of that name
    // left by an earlier run is replaced), durable, readable by no one who may not read
    // `like` (the file it is for).
    bool Prepare(const std::string& temporary, const JobFile& like, std::uint64_t size, std::uint32_t firstSectorSum,
                 std::uint64_t regionBytes, const OpenFileIdentity& file, JournalRecord& first);
    // Gives the prepared journal the name `path` and makes that durable; never replaces one
    // there (Exists). Kept open to take the next records when Done; removed otherwise.
    Renamed Publish(const std::string& path);
    // Reads an existing journal, checked against the open file it must belong to.
    JournalFound Open(const std::string& path, const OpenFileIdentity& file, std::uint64_t size);
    // Writes the next record to the slot not holding the last one, and flushes it. On failure
    // the slot gets the last record again, as far as it can.
    bool Write(JournalRecord& record);
    // Closes and removes the journal, durably.
    bool Remove();

    const std::string& Path() const { return path_; }
    std::uint64_t FileSize() const { return size_; }
    std::uint32_t FirstSectorSum() const { return firstSectorSum_; }
    std::uint64_t RegionBytes() const { return regionBytes_; }
    // Who made the journal Open found (POSIX; 0 on Windows).
    std::uint32_t Owner() const { return owner_; }
    // The state read by Open, or last written.
    const JournalRecord& Last() const { return last_; }

private:
    std::uint64_t SlotOffset(std::uint64_t sequence) const;
    enum class SlotRead { Record, NoRecord, Failed };
    SlotRead ReadSlot(std::uint64_t slot, JournalRecord& record);
    JournalFound ReadHeader(const OpenFileIdentity& file, std::uint64_t size);
    bool WriteSlot(const JournalRecord& record);  // to its sequence's slot, flushed

    JobFile file_;
    std::string path_;
    std::uint64_t size_ = 0;
    std::uint32_t firstSectorSum_ = 0;
    std::uint64_t regionBytes_ = 0;
    std::uint32_t owner_ = 0;
    JournalRecord last_;
};
