#include "engine/flush_behind.h"

#include <windows.h>

struct FlushBehind::Shared {
    explicit Shared(JobFile& target) : file(target) {}

    static DWORD WINAPI Run(void* context)
    {
        Shared& shared = *static_cast<Shared*>(context);
        AcquireSRWLockExclusive(&shared.lock);
        for (;;) {
            while (!shared.ending && shared.asked == shared.done)
                SleepConditionVariableSRW(&shared.changed, &shared.lock, INFINITE, 0);
            if (shared.asked == shared.done)
                break;
            const std::uint64_t covered = shared.asked;
            ReleaseSRWLockExclusive(&shared.lock);
            const bool flushed = shared.file.Flush();
            AcquireSRWLockExclusive(&shared.lock);
            shared.failed = shared.failed || !flushed;
            shared.done = covered;
            WakeAllConditionVariable(&shared.changed);
        }
        ReleaseSRWLockExclusive(&shared.lock);
        return 0;
    }

    JobFile& file;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    std::uint64_t asked = 0;
    std::uint64_t done = 0;
    bool failed = false;
    bool ending = false;
    HANDLE thread = nullptr;  // made for the first flush asked for
    bool threadFailed = false;  // then every flush is made by the job itself, as it waits
};

FlushBehind::FlushBehind(JobFile& file) : shared_(std::make_unique<Shared>(file)) {}

FlushBehind::~FlushBehind()
{
    if (!shared_->thread)
        return;
    AcquireSRWLockExclusive(&shared_->lock);
    shared_->ending = true;
    ReleaseSRWLockExclusive(&shared_->lock);
    WakeAllConditionVariable(&shared_->changed);
    WaitForSingleObject(shared_->thread, INFINITE);
    CloseHandle(shared_->thread);
}

std::uint64_t FlushBehind::Start()
{
    if (!shared_->thread && !shared_->threadFailed) {
        shared_->thread = CreateThread(nullptr, 64 * 1024, &Shared::Run, shared_.get(),
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        shared_->threadFailed = !shared_->thread;
    }
    AcquireSRWLockExclusive(&shared_->lock);
    const std::uint64_t ticket = ++shared_->asked;
    ReleaseSRWLockExclusive(&shared_->lock);
    WakeAllConditionVariable(&shared_->changed);
    return ticket;
}

bool FlushBehind::Wait(std::uint64_t ticket, const std::function<void()>& meanwhile)
{
    Shared& shared = *shared_;
    AcquireSRWLockExclusive(&shared.lock);
    // Without a thread, the flush is made here, while waiting.
    if (!shared.thread && shared.done < ticket) {
        shared.failed = shared.failed || !shared.file.Flush();
        shared.done = shared.asked;
    }
    while (shared.done < ticket && !shared.failed) {
        if (!SleepConditionVariableSRW(&shared.changed, &shared.lock, 20, 0) && meanwhile) {
            ReleaseSRWLockExclusive(&shared.lock);
            meanwhile();
            AcquireSRWLockExclusive(&shared.lock);
        }
    }
    const bool flushed = !shared.failed;
    ReleaseSRWLockExclusive(&shared.lock);
    return flushed;
}
