#include "engine/work_beside.h"

#include "toolkit/handles.h"

#include <windows.h>

struct WorkBeside::Shared {
    static DWORD WINAPI Run(void* context)
    {
        Shared& shared = *static_cast<Shared*>(context);
        shared.result = shared.work();
        return 0;
    }

    // Waits for the thread, calling `meanwhile` every few milliseconds; false when there was none.
    bool Join(const std::function<void()>& meanwhile)
    {
        if (!thread)
            return false;
        while (WaitForSingleObject(thread.get(), 20) == WAIT_TIMEOUT)
            if (meanwhile)
                meanwhile();
        thread.reset();
        return true;
    }

    std::function<bool()> work;
    bool result = false;
    tk::UniqueHandle<HANDLE, tk::CloseKernelHandle> thread;
};

WorkBeside::WorkBeside() : shared_(std::make_unique<Shared>()) {}

WorkBeside::~WorkBeside()
{
    shared_->Join({});
}

bool WorkBeside::Start(std::function<bool()> work)
{
    Shared& shared = *shared_;
    shared.Join({});
    shared.work = std::move(work);
    shared.thread.reset(CreateThread(nullptr, 64 * 1024, &Shared::Run, &shared, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    return static_cast<bool>(shared.thread);
}

bool WorkBeside::Wait(const std::function<void()>& meanwhile)
{
    return shared_->Join(meanwhile) && shared_->result;
}
