#pragma once
// The checksums of the next step of a job in place, taken on a thread of their own while the
// job writes the step before. The job would otherwise read each step twice in turn (for its
// checksums, then to code it); memory, not the disk, is what such a job waits for, and two
// processors read it faster than one. Natively and under Windows alike; where no thread can
// be had, the job takes every step's checksums itself.
#include "engine/job_files.h"
#include "engine/keystream_coder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Bytes [from, to) of a file.
struct Span {
    std::uint64_t from;
    std::uint64_t to;
};

// A job in place reads and writes 1 MiB at a time, which measured best.
inline constexpr std::uint64_t InPlaceChunkBytes = 64 * BlockBytes;

// Appends the checksums of the sectors of `step` to `sums`: of the data as read or, `decoded`,
// of it coded with `value` (the original of a coded step). Read a chunk at a time into
// `buffer` (room for InPlaceChunkBytes), `meanwhile` called every few chunks. False when the
// step can't be read whole, or the file of `size` bytes has grown.
bool AppendStepSums(JobFile& file, std::uint64_t size, CoderValue value, Span step, bool decoded,
                    unsigned char* buffer, std::vector<std::uint32_t>& sums, const std::function<void()>& meanwhile);

class SumsAhead {
public:
    SumsAhead(JobFile& file, std::uint64_t size, CoderValue value);
    ~SumsAhead();  // ends after the step under way
    SumsAhead(const SumsAhead&) = delete;
    SumsAhead& operator=(const SumsAhead&) = delete;

    // Starts taking the checksums of `step` beside the job; a step started before and not
    // taken is dropped.
    void Start(Span step, bool decoded);
    // The checksums Start was asked for, appended to `sums`, when it was asked for this step
    // and could read it; waited for with `meanwhile` called every few milliseconds. False
    // otherwise: the job then takes them itself.
    bool Take(Span step, bool decoded, std::vector<std::uint32_t>& sums, const std::function<void()>& meanwhile);

    struct Shared;  // the step asked for, and what the thread found

private:
    std::unique_ptr<Shared> shared_;
};
