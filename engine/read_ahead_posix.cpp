#include "engine/read_ahead.h"

#include "engine/job_thread_posix.h"
#include "engine/keystream_coder.h"

// Two chunks of the coding buffer take turns: the job codes and writes one while the thread
// reads the next into the other.
struct ReadAhead::Shared {
    Shared(JobFile& source, std::size_t bytes, std::uint64_t last) : file(source), chunkBytes(bytes), end(last) {}

    unsigned char* Slot(int slot) const { return CodingBuffer + static_cast<std::size_t>(slot) * chunkBytes; }

    void Run()
    {
        std::unique_lock lock(worker.mutex);
        for (;;) {
            worker.changed.wait(lock, [this] { return worker.Ending() || (asked && !ready); });
            if (worker.Ending())
                return;
            const std::uint64_t offset = askedOffset;
            const int slot = askedSlot;
            lock.unlock();
            std::size_t got = 0;
            const bool ok = file.ReadAt(offset, Slot(slot), chunkBytes, got);
            lock.lock();
            read = got;
            readOk = ok;
            ready = true;
            worker.changed.notify_all();
        }
    }

    JobFile& file;
    const std::size_t chunkBytes;
    const std::uint64_t end;
    bool asked = false;  // a read of askedOffset into askedSlot is asked for
    bool ready = false;  // and done, with read and readOk
    std::uint64_t askedOffset = 0;
    int askedSlot = 0;
    std::size_t read = 0;
    bool readOk = false;
    // Made for the first chunk read ahead; when it can't be, every chunk is read as it is
    // asked for.
    JobThread worker;
};

ReadAhead::ReadAhead(JobFile& file, std::size_t chunkBytes, std::uint64_t end)
    : shared_(std::make_unique<Shared>(file, chunkBytes, end))
{
}

ReadAhead::~ReadAhead() = default;

unsigned char* ReadAhead::Next(std::uint64_t offset, std::size_t& read)
{
    Shared& shared = *shared_;
    std::unique_lock lock(shared.worker.mutex);
    int slot = 0;
    bool ok = false;
    if (shared.asked && shared.askedOffset == offset) {
        shared.worker.changed.wait(lock, [&] { return shared.ready; });
        slot = shared.askedSlot;
        read = shared.read;
        ok = shared.readOk;
    } else {  // the first chunk, or no thread: read here
        shared.worker.changed.wait(lock, [&] { return !shared.asked || shared.ready; });
        lock.unlock();
        ok = shared.file.ReadAt(offset, shared.Slot(slot), shared.chunkBytes, read);
        lock.lock();
    }
    shared.asked = false;
    shared.ready = false;
    // The next chunk into the other slot, while the caller works on this one.
    const std::uint64_t next = offset + shared.chunkBytes;
    if (ok && next <= shared.end && shared.worker.Start([&shared] { shared.Run(); })) {
        shared.asked = true;
        shared.askedOffset = next;
        shared.askedSlot = 1 - slot;
        shared.worker.changed.notify_all();
    }
    return ok ? shared.Slot(slot) : nullptr;
}

// Larger than under Windows: each chunk is handed between two threads, and at 1 MiB that
// costs nothing measurable while 256 KiB measured no faster than reading in turn.
std::size_t ReadAheadChunkBlocks()
{
    return 64;
}
