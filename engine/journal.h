#pragma once
// The journal kept beside a file coded in place, "<file>.vorrin-journal", from before its
// first byte changes until it is whole again: after any ending (a crash, a kill, a power cut)
// it tells which part of the file is coded. It holds no coder value: checksums of the
// original data let the value given again be checked, and each sector be told apart.
//
// Layout, little-endian:
//   header, 64 bytes: "VORRINJ1", version 1, sector bytes, region bytes (the most a record
//     covers), the file's size, the checksum of its original first sector, the header's own
//     checksum (over the bytes before it), zeros;
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

std::string JournalPath(const std::string& file);

struct JournalRecord {
    std::uint64_t sequence = 0;
    std::uint64_t done = 0;
    std::uint64_t regionEnd = 0;
    std::vector<std::uint32_t> sums;  // one per sector of [done, regionEnd), the last maybe short
};

class Journal {
public:
    // Creates the journal (it must not exist yet) with its first record, and makes it durable
    // with its name.
    bool Create(const std::string& path, std::uint64_t size, std::uint32_t firstSectorSum,
                std::uint64_t regionBytes, JournalRecord& first);
    enum class Found { Valid, NoRecord, Unusable };
    // Reads an existing journal. NoRecord: it was cut short before its first record was
    // whole, so the file was never changed.
    Found Open(const std::string& path);
    // Writes the next record to the slot not holding the last one, and flushes it. On failure
    // the slot gets the last record again, as far as it can.
    bool Write(JournalRecord& record);
    // Closes and removes the journal.
    bool Remove();

    const std::string& Path() const { return path_; }
    std::uint64_t FileSize() const { return size_; }
    std::uint32_t FirstSectorSum() const { return firstSectorSum_; }
    std::uint64_t RegionBytes() const { return regionBytes_; }
    // The state read by Open, or last written.
    const JournalRecord& Last() const { return last_; }

private:
    std::uint64_t SlotOffset(std::uint64_t sequence) const;
    bool ReadSlot(std::uint64_t slot, JournalRecord& record);
    bool WriteSlot(const JournalRecord& record);  // to its sequence's slot, flushed

    JobFile file_;
    std::string path_;
    std::uint64_t size_ = 0;
    std::uint32_t firstSectorSum_ = 0;
    std::uint64_t regionBytes_ = 0;
    JournalRecord last_;
};
