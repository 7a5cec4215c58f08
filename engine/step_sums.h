#pragma once
// Reading a step of a file coded in place for the checksums of its original data, which its
// record must hold before any byte of it changes; and the keystream at any offset of a file.
#include "engine/job_files.h"
#include "engine/keystream_coder.h"
#include "engine/step_plan.h"

#include <cstdint>
#include <functional>
#include <vector>

// A job in place reads and writes back 1 MiB at a time, which measured best.
inline constexpr std::uint64_t ChunkBytes = 64 * BlockBytes;

// Reads [at, at + length) of a file of `size` bytes into `buffer`, which has room for a chunk
// more: at the end of the file a whole chunk is asked for, so that a file grown is noticed.
bool ReadWhole(JobFile& file, std::uint64_t size, std::uint64_t at, unsigned char* buffer, std::uint64_t length);

// The keystream of a value at any offset of the file: the register is stepped there only when
// the coding does not simply go on from the last.
class KeystreamAt {
public:
    explicit KeystreamAt(CoderValue value) : value_(value) {}

    // Codes `data` as the bytes at `at`.
    void Code(unsigned char* data, std::uint64_t at, std::uint64_t length);

private:
    CoderValue value_;
    CoderState state_ = 0;
    std::uint64_t next_ = UINT64_MAX;  // the offset state_ codes next
};

// A step to be read for its checksums: from the file as it is, coded (`coded`, then the
// original is the data coded again) or as it was.
struct StepToRead {
    JobFile& file;
    std::uint64_t size;
    CoderValue value;
    Span step;
    bool coded;
};

// Appends the checksums of the original data of each sector of the step to `sums`, read a
// chunk at a time into `buffer`, `meanwhile` called every few chunks. `hold`: the whole step
// stays in `buffer`, coded the other way from how it was found, ready to be written. False
// when the step can't be read whole, or the file has grown.
bool AppendOriginalSums(const StepToRead& read, unsigned char* buffer, bool hold, std::vector<std::uint32_t>& sums,
                        const std::function<void()>& meanwhile);
