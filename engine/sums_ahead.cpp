#include "engine/sums_ahead.h"

#include "engine/sector_checksums.h"

#include <algorithm>

bool AppendStepSums(JobFile& file, std::uint64_t size, CoderValue value, Span step, bool decoded,
                    unsigned char* buffer, std::vector<std::uint32_t>& sums, const std::function<void()>& meanwhile)
{
    CoderState state = 0;
    std::uint64_t stateAt = UINT64_MAX;  // the offset `state` codes next
    for (std::uint64_t at = step.from; at < step.to; at += InPlaceChunkBytes) {
        if (meanwhile && (at - step.from) % (8 * InPlaceChunkBytes) == 0)
            meanwhile();
        const std::uint64_t length = std::min(InPlaceChunkBytes, step.to - at);
        // At the end of the file a whole chunk is asked for, so that a file grown is noticed.
        const std::uint64_t wanted = at + length == size ? InPlaceChunkBytes : length;
        std::size_t read = 0;
        if (!file.ReadAt(at, buffer, static_cast<std::size_t>(wanted), read) || read != length)
            return false;
        if (decoded) {
            if (at != stateAt)
                state = StepRegisterBy(static_cast<CoderState>(value), at / 4);
            const std::size_t blocks = static_cast<std::size_t>((length + BlockBytes - 1) / BlockBytes);
            CodeChunk(buffer, blocks, state);
            stateAt = at + blocks * BlockBytes;
        }
        AppendSectorChecksums(buffer, static_cast<std::size_t>(length), sums);
    }
    return true;
}
