#include "engine/flush_behind.h"

#include "engine/job_thread_posix.h"

#include <chrono>

struct FlushBehind::Shared {
    explicit Shared(JobFile& target) : file(target) {}

    void Run()
    {
        std::unique_lock lock(worker.mutex);
        for (;;) {
            worker.changed.wait(lock, [this] { return worker.Ending() || asked > done; });
            if (asked == done)
                return;
            const std::uint64_t covered = asked;
            lock.unlock();
            const bool flushed = file.Flush();
            lock.lock();
            failed = failed || !flushed;
            done = covered;
            worker.changed.notify_all();
        }
    }

    JobFile& file;
    std::uint64_t asked = 0;
    std::uint64_t done = 0;
    bool failed = false;
    // Made for the first flush asked for; when it can't be, every flush is made by the job
    // itself, as it waits.
    JobThread worker;
};

FlushBehind::FlushBehind(JobFile& file) : shared_(std::make_unique<Shared>(file)) {}

FlushBehind::~FlushBehind() = default;

std::uint64_t FlushBehind::Start()
{
    shared_->worker.Start([shared = shared_.get()] { shared->Run(); });
    std::uint64_t ticket;
    {
        const std::lock_guard lock(shared_->worker.mutex);
        ticket = ++shared_->asked;
    }
    shared_->worker.changed.notify_all();
    return ticket;
}

bool FlushBehind::Wait(std::uint64_t ticket, const std::function<void()>& meanwhile)
{
    std::unique_lock lock(shared_->worker.mutex);
    if (shared_->worker.Failed() && shared_->done < ticket) {  // no thread: flushed here
        shared_->failed = shared_->failed || !shared_->file.Flush();
        shared_->done = shared_->asked;
    }
    while (shared_->done < ticket && !shared_->failed) {
        if (shared_->worker.changed.wait_for(lock, std::chrono::milliseconds(20)) == std::cv_status::timeout && meanwhile) {
            lock.unlock();
            meanwhile();
            lock.lock();
        }
    }
    return !shared_->failed;
}
