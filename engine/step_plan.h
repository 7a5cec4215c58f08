#pragma once
// How a job in place moves its journal's record over a file: pure arithmetic, no I/O. A
// record covers a region of at most the journal's region bytes; the job moves by a step, a
// quarter of that, in whole sectors. Each record keeps the steps before the new one as far as
// it can, their flushes maybe still under way, so that coding goes on while the disk catches
// up; what it can't keep it drops, and what it drops must be durable before it is written.
#include <cstdint>
#include <vector>

// Bytes [from, to) of the file.
struct Span {
    std::uint64_t from = 0;
    std::uint64_t to = 0;

    bool Empty() const { return to <= from; }
    bool Overlaps(Span other) const { return from < other.to && other.from < to; }
};

inline constexpr std::uint64_t StepsPerRegion = 4;

std::uint64_t StepBytes(std::uint64_t regionBytes);
// The region of a new journal for a file of `size`: `most`, or less for a small file, whose
// journal is no larger than it needs.
std::uint64_t RegionBytesFor(std::uint64_t size, std::uint64_t most);
// The first record of a coding: the file's first step.
Span FirstRegion(std::uint64_t size, std::uint64_t regionBytes);

// One move of the record: the region of the record to be written (durable before any byte of
// `fresh` changes), the part of the region before it that this one drops (durable before the
// record is written), and the step it adds, to be written.
struct Step {
    Span region;
    Span drops;
    Span fresh;
};

// Whether `region` is the record's last: it reaches the end of the file when coding (forward),
// its start when restoring.
bool IsLast(Span region, std::uint64_t size, bool forward);
// The move after the record of `region`; not for the last.
Step NextStep(Span region, std::uint64_t size, std::uint64_t regionBytes, bool forward);

// Every move from the record of `first` to the last, `first` itself the first: its drops
// empty, its fresh the whole region.
std::vector<Step> PlanSteps(Span first, std::uint64_t size, std::uint64_t regionBytes, bool forward);
