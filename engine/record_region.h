#pragma once
// The journal's last record and what each sector of its region is on disk: as it was, coded,
// or neither (torn by a power cut, or changed by another program). Told apart by the
// checksums of the original data that the record keeps, one a sector.
#include "engine/coding_view.h"
#include "engine/journal.h"
#include "engine/step_plan.h"

#include <cstdint>
#include <vector>

enum class Sector : unsigned char { Original, Coded, Damaged };

class RecordRegion {
public:
    explicit RecordRegion(std::uint64_t fileSize) : size_(fileSize) {}

    // Starts from `record` with every sector of its region as `state`.
    void Start(const JournalRecord& record, Sector state);
    const JournalRecord& Record() const { return record_; }
    Span Region() const { return {record_.done, record_.regionEnd}; }

    // Tells apart the sectors from `at` on by their checksums as read and as decoded.
    void Tell(std::uint64_t at, const std::vector<std::uint32_t>& asRead, const std::vector<std::uint32_t>& decoded);
    // The sectors of [at, at + length), a span of the region.
    std::vector<Sector>::iterator SectorsAt(std::uint64_t at);
    std::vector<Sector>::iterator SectorsEnd(std::uint64_t at, std::uint64_t length);

    std::size_t Count(Sector state) const;
    std::uint64_t CodedBytes() const;
    InterruptedFile Describe(const std::string& journalPath) const;

    // The record after this one, for `step`: the sums of the sectors it keeps beside the
    // fresh ones.
    JournalRecord Next(const Step& step, bool forward, std::vector<std::uint32_t> freshSums) const;
    // Moves on to `next`, written: the sectors kept as they are, the fresh ones as they were
    // before the move (original when coding, coded when restoring).
    void Adopt(const JournalRecord& next, bool forward);

private:
    std::uint64_t SectorLength(std::uint64_t at) const;
    // Where the sectors of this record that `next` keeps lie in it.
    std::pair<std::ptrdiff_t, std::ptrdiff_t> Kept(bool forward, const JournalRecord& next) const;

    std::uint64_t size_;
    JournalRecord record_;
    std::vector<Sector> sectors_;
};
