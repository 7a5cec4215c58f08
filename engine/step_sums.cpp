#include "engine/step_sums.h"

#include "engine/sector_checksums.h"

#include <algorithm>

bool ReadWhole(JobFile& file, std::uint64_t size, std::uint64_t at, unsigned char* buffer, std::uint64_t length)
{
    const std::uint64_t wanted = at + length == size ? std::max(length, ChunkBytes) : length;
    std::size_t read = 0;
    return file.ReadAt(at, buffer, static_cast<std::size_t>(wanted), read) && read == length;
}

void KeystreamAt::Code(unsigned char* data, std::uint64_t at, std::uint64_t length)
{
    const std::size_t blocks = static_cast<std::size_t>((length + BlockBytes - 1) / BlockBytes);
    if (at != next_)
        state_ = StepRegisterBy(static_cast<CoderState>(value_), at / 4);
    CodeChunk(data, blocks, state_);
    next_ = at + blocks * BlockBytes;
}

bool AppendOriginalSums(const StepToRead& read, unsigned char* buffer, bool hold, std::vector<std::uint32_t>& sums,
                        const std::function<void()>& meanwhile)
{
    KeystreamAt keystream(read.value);
    for (std::uint64_t at = read.step.from; at < read.step.to; at += ChunkBytes) {
        if (meanwhile && (at - read.step.from) % (8 * ChunkBytes) == 0)
            meanwhile();
        const std::uint64_t length = std::min(ChunkBytes, read.step.to - at);
        unsigned char* const chunk = hold ? buffer + (at - read.step.from) : buffer;
        if (!ReadWhole(read.file, read.size, at, chunk, length))
            return false;
        if (read.coded)
            keystream.Code(chunk, at, length);
        AppendSectorChecksums(chunk, static_cast<std::size_t>(length), sums);
        if (hold && !read.coded)
            keystream.Code(chunk, at, length);
    }
    return true;
}
