#include "engine/flush_behind.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

struct FlushBehind::Shared {
    explicit Shared(JobFile& target) : file(target) {}

    void Run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return ending || asked > done; });
            if (asked == done)
                return;
            const std::uint64_t covered = asked;
            lock.unlock();
            const bool flushed = file.Flush();
            lock.lock();
            failed = failed || !flushed;
            done = covered;
            changed.notify_all();
        }
    }

    JobFile& file;
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t asked = 0;
    std::uint64_t done = 0;
    bool failed = false;
    bool ending = false;
    std::thread thread;  // made for the first flush asked for
    bool threadFailed = false;  // then every flush is made by the job itself, as it waits
};

FlushBehind::FlushBehind(JobFile& file) : shared_(std::make_unique<Shared>(file)) {}

FlushBehind::~FlushBehind()
{
    if (!shared_->thread.joinable())
        return;
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->ending = true;
    }
    shared_->changed.notify_all();
    shared_->thread.join();
}

std::uint64_t FlushBehind::Start()
{
    if (!shared_->thread.joinable() && !shared_->threadFailed) {  // made for the first flush asked for
        try {
            shared_->thread = std::thread([shared = shared_.get()] { shared->Run(); });
        } catch (const std::system_error&) {
            shared_->threadFailed = true;
        }
    }
    std::uint64_t ticket;
    {
        const std::lock_guard lock(shared_->mutex);
        ticket = ++shared_->asked;
    }
    shared_->changed.notify_all();
    return ticket;
}

bool FlushBehind::Wait(std::uint64_t ticket, const std::function<void()>& meanwhile)
{
    std::unique_lock lock(shared_->mutex);
    if (shared_->threadFailed && shared_->done < ticket) {  // no thread: flushed here
        shared_->failed = shared_->failed || !shared_->file.Flush();
        shared_->done = shared_->asked;
    }
    while (shared_->done < ticket && !shared_->failed) {
        if (shared_->changed.wait_for(lock, std::chrono::milliseconds(20)) == std::cv_status::timeout && meanwhile) {
            lock.unlock();
            meanwhile();
            lock.lock();
        }
    }
    return !shared_->failed;
}
