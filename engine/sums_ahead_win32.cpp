#include "engine/sums_ahead.h"

#include "toolkit/handles.h"

#include <windows.h>

// A thread for each step: a handful for each GiB, each made in well under a millisecond.
struct SumsAhead::Shared {
    Shared(JobFile& target, std::uint64_t bytes, CoderValue coderValue)
        : file(ReopenToRead(target)), size(bytes), value(coderValue)
    {
    }

    static DWORD WINAPI Run(void* context)
    {
        Shared& shared = *static_cast<Shared*>(context);
        shared.ok = AppendStepSums(shared.file, shared.size, shared.value, shared.step, shared.decoded,
                                   shared.buffer.data(), shared.sums, {});
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

    JobFile file;  // the file opened again: its reads move no file pointer of the job's
    std::uint64_t size;
    CoderValue value;
    std::vector<unsigned char> buffer = std::vector<unsigned char>(InPlaceChunkBytes);
    Span step{0, 0};
    bool decoded = false;
    std::vector<std::uint32_t> sums;
    bool ok = false;
    tk::UniqueHandle<HANDLE, tk::CloseKernelHandle> thread;
};

SumsAhead::SumsAhead(JobFile& file, std::uint64_t size, CoderValue value)
    : shared_(std::make_unique<Shared>(file, size, value))
{
}

SumsAhead::~SumsAhead()
{
    shared_->Join({});
}

void SumsAhead::Start(Span step, bool decoded)
{
    Shared& shared = *shared_;
    shared.Join({});
    if (!shared.file.IsOpen())
        return;
    shared.step = step;
    shared.decoded = decoded;
    shared.sums.clear();
    shared.thread.reset(CreateThread(nullptr, 64 * 1024, &Shared::Run, &shared, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
}

bool SumsAhead::Take(Span step, bool decoded, std::vector<std::uint32_t>& sums, const std::function<void()>& meanwhile)
{
    Shared& shared = *shared_;
    if (!shared.Join(meanwhile) || !shared.ok || step.from != shared.step.from || step.to != shared.step.to ||
        decoded != shared.decoded)
        return false;
    sums.insert(sums.end(), shared.sums.begin(), shared.sums.end());
    return true;
}
