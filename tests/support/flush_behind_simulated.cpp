// Flushes behind on the simulated disk at the latest moment a real one may: only when the job
// waits for them. A job that moves on without waiting finds its writes lost at the next cut.
#include "engine/flush_behind.h"

struct FlushBehind::Shared {
    JobFile& file;
    std::uint64_t asked = 0;
    std::uint64_t done = 0;
    bool failed = false;
};

FlushBehind::FlushBehind(JobFile& file) : shared_(std::make_unique<Shared>(Shared{file})) {}

FlushBehind::~FlushBehind() = default;

std::uint64_t FlushBehind::Start()
{
    return ++shared_->asked;
}

bool FlushBehind::Wait(std::uint64_t ticket, const std::function<void()>&)
{
    Shared& shared = *shared_;
    if (shared.done < ticket) {
        shared.failed = shared.failed || !shared.file.Flush();
        shared.done = shared.asked;
    }
    return !shared.failed;
}
