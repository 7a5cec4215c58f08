#include "engine/read_ahead.h"

#include "engine/keystream_coder.h"

struct ReadAhead::Shared {
    JobFile& file;
    std::size_t chunkBytes;
};

ReadAhead::ReadAhead(JobFile& file, std::size_t chunkBytes, std::uint64_t)
    : shared_(std::make_unique<Shared>(Shared{file, chunkBytes}))
{
}

ReadAhead::~ReadAhead() = default;

unsigned char* ReadAhead::Next(std::uint64_t offset, std::size_t& read)
{
    return shared_->file.ReadAt(offset, CodingBuffer, shared_->chunkBytes, read) ? CodingBuffer : nullptr;
}

// A chunk that outgrows the processor's cache between reading, coding and writing is slower.
std::size_t ReadAheadChunkBlocks()
{
    return 16;
}
