#include "engine/worker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

struct Worker::Shared {
    void Run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return ending || !queue.empty(); });
            if (queue.empty())
                return;
            Task task = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            const bool result = task();
            lock.lock();
            results.push_back(result);
            changed.notify_all();
        }
    }

    // Makes the thread unless it runs already; false when none can be had, now or before.
    bool Started()
    {
        if (!thread.joinable() && !noThread) {
            try {
                thread = std::thread([this] { Run(); });
            } catch (const std::system_error&) {
                noThread = true;
            }
        }
        return !noThread;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Task> queue;
    std::vector<bool> results;  // of the tasks run, by ticket - 1
    Ticket posted = 0;
    bool ending = false;
    bool noThread = false;
    std::thread thread;
};

Worker::Worker() : shared_(std::make_unique<Shared>()) {}

Worker::~Worker()
{
    Shared& shared = *shared_;
    if (!shared.thread.joinable())
        return;
    {
        const std::lock_guard lock(shared.mutex);
        shared.ending = true;
    }
    shared.changed.notify_all();
    shared.thread.join();
}

Worker::Ticket Worker::Post(Task task)
{
    Shared& shared = *shared_;
    if (!shared.Started()) {  // nothing is queued without a thread: the order holds
        const bool result = task();
        const std::lock_guard lock(shared.mutex);
        shared.results.push_back(result);
        return ++shared.posted;
    }
    Ticket ticket;
    {
        const std::lock_guard lock(shared.mutex);
        shared.queue.push_back(std::move(task));
        ticket = ++shared.posted;
    }
    shared.changed.notify_all();
    return ticket;
}

bool Worker::Wait(Ticket ticket, const Pump& pump)
{
    if (ticket == 0)
        return true;
    Shared& shared = *shared_;
    std::unique_lock lock(shared.mutex);
    while (shared.results.size() < ticket) {
        if (shared.changed.wait_for(lock, std::chrono::milliseconds(20)) == std::cv_status::timeout && pump) {
            lock.unlock();
            pump();
            lock.lock();
        }
    }
    return shared.results[static_cast<std::size_t>(ticket - 1)];
}
