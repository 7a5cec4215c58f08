#include "engine/worker.h"

#include "toolkit/handles.h"

#include <windows.h>

#include <deque>
#include <vector>

struct Worker::Shared {
    static DWORD WINAPI Run(void* context)
    {
        Shared& shared = *static_cast<Shared*>(context);
        AcquireSRWLockExclusive(&shared.lock);
        for (;;) {
            while (!shared.ending && shared.queue.empty())
                SleepConditionVariableSRW(&shared.changed, &shared.lock, INFINITE, 0);
            if (shared.queue.empty())
                break;
            Task task = std::move(shared.queue.front());
            shared.queue.pop_front();
            ReleaseSRWLockExclusive(&shared.lock);
            const bool result = task();
            AcquireSRWLockExclusive(&shared.lock);
            shared.results.push_back(result);
            WakeAllConditionVariable(&shared.changed);
        }
        ReleaseSRWLockExclusive(&shared.lock);
        return 0;
    }

    // Makes the thread unless it runs already; false when none can be had, now or before.
    bool Started()
    {
        if (!thread && !noThread) {
            thread.reset(CreateThread(nullptr, 64 * 1024, &Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
            noThread = !thread;
        }
        return !noThread;
    }

    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    std::deque<Task> queue;
    std::vector<bool> results;  // of the tasks run, by ticket - 1
    Ticket posted = 0;
    bool ending = false;
    bool noThread = false;
    tk::UniqueHandle<HANDLE, tk::CloseKernelHandle> thread;
};

Worker::Worker() : shared_(std::make_unique<Shared>()) {}

Worker::~Worker()
{
    Shared& shared = *shared_;
    if (!shared.thread)
        return;
    AcquireSRWLockExclusive(&shared.lock);
    shared.ending = true;
    ReleaseSRWLockExclusive(&shared.lock);
    WakeAllConditionVariable(&shared.changed);
    WaitForSingleObject(shared.thread.get(), INFINITE);
}

Worker::Ticket Worker::Post(Task task)
{
    Shared& shared = *shared_;
    const bool queued = shared.Started();
    const bool result = !queued && task();  // nothing is queued without a thread: the order holds
    AcquireSRWLockExclusive(&shared.lock);
    if (queued)
        shared.queue.push_back(std::move(task));
    else
        shared.results.push_back(result);
    const Ticket ticket = ++shared.posted;
    ReleaseSRWLockExclusive(&shared.lock);
    WakeAllConditionVariable(&shared.changed);
    return ticket;
}

bool Worker::Wait(Ticket ticket, const Pump& pump)
{
    if (ticket == 0)
        return true;
    Shared& shared = *shared_;
    AcquireSRWLockExclusive(&shared.lock);
    while (shared.results.size() < ticket) {
        if (!SleepConditionVariableSRW(&shared.changed, &shared.lock, 20, 0) && pump) {
            ReleaseSRWLockExclusive(&shared.lock);
            pump();
            AcquireSRWLockExclusive(&shared.lock);
        }
    }
    const bool result = shared.results[static_cast<std::size_t>(ticket - 1)];
    ReleaseSRWLockExclusive(&shared.lock);
    return result;
}
