#pragma once
// Reads a file a chunk at a time, in order, into the coding buffer for a job that codes each
// chunk and writes it elsewhere. Natively the next chunk is read on a thread of its own while
// the last is coded and written, so that reading costs no time of the job's own: the copy
// into a folder then keeps up with a plain copy. Under Windows, where the job runs in the
// window's thread beside its message pump, each chunk is read when asked for.
#include "engine/job_files.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class ReadAhead {
public:
    // Chunks of `chunkBytes` from offset 0 on, up to the one where `end` falls; two of them
    // must fit in the coding buffer. A file of one chunk is read without a thread.
    ReadAhead(JobFile& file, std::size_t chunkBytes, std::uint64_t end);
    ~ReadAhead();  // ends after the read under way
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The chunk at `offset` (the one after the last asked for), read whole or up to the end of
    // the file: where it lies in the coding buffer, with room for whole blocks, and how many
    // bytes it holds. Nothing when it could not be read.
    unsigned char* Next(std::uint64_t offset, std::size_t& read);

    struct Shared;  // what the job and the reading thread share

private:
    std::unique_ptr<Shared> shared_;
};

// How many blocks a chunk of the copy holds where chunks are read ahead; 16 elsewhere.
std::size_t ReadAheadChunkBlocks();
