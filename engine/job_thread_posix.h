#pragma once
// The thread behind a job in place or into a folder (its flushes, its reads ahead): made when
// first needed, and ended and waited for when the job is done with it, with the lock and the
// signal it shares with the job. Declared last in what the thread uses, so that it is ended
// before the rest goes.
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

class JobThread {
public:
    JobThread() = default;
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;
    // Ends the thread after the work in hand: Ending() turns true under the lock.
    ~JobThread()
    {
        if (!thread_.joinable())
            return;
        {
            const std::lock_guard lock(mutex);
            ending_ = true;
        }
        changed.notify_all();
        thread_.join();
    }

    // Makes the thread, running `run`, unless it runs already. False when it can't be made,
    // now or before: the job then does the work itself.
    template <typename Run>
    bool Start(Run&& run)
    {
        if (!thread_.joinable() && !failed_) {
            try {
                thread_ = std::thread(std::forward<Run>(run));
            } catch (const std::system_error&) {
                failed_ = true;
            }
        }
        return !failed_;
    }
    bool Failed() const { return failed_; }
    // Whether the thread is to end; read under the lock.
    bool Ending() const { return ending_; }

    std::mutex mutex;
    std::condition_variable changed;

private:
    std::thread thread_;
    bool ending_ = false;
    bool failed_ = false;
};
