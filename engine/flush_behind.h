#pragma once
// Flushes one file on a thread of its own, so that the disk takes in one step of a job while
// the next is read and coded: the job waits for a flush only when it must not move on without
// it. One implementation per platform: std::thread on POSIX, the system's own thread and
// locks on Windows, whose C++ threads would add half again to the program's size.
#include "engine/job_files.h"

#include <cstdint>
#include <functional>
#include <memory>

class FlushBehind {
public:
    explicit FlushBehind(JobFile& file);
    ~FlushBehind();  // ends after the flushes asked for
    FlushBehind(const FlushBehind&) = delete;
    FlushBehind& operator=(const FlushBehind&) = delete;

    // Asks for everything written to the file so far to be made durable; gives the request's
    // number, which rises with each.
    std::uint64_t Start();
    // Waits until request `ticket` is done, calling `meanwhile` every few milliseconds; false
    // when a flush failed (every one after it fails too).
    bool Wait(std::uint64_t ticket, const std::function<void()>& meanwhile);

    struct Shared;  // what the job and the thread share; one flush covers every request before it

private:
    std::unique_ptr<Shared> shared_;
};
