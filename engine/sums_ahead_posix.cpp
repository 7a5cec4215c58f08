#include "engine/sums_ahead.h"

#include <chrono>
#include <future>
#include <system_error>

struct SumsAhead::Shared {
    Shared(JobFile& target, std::uint64_t bytes, CoderValue coderValue)
        : file(ReopenToRead(target)), size(bytes), value(coderValue)
    {
    }

    JobFile file;  // the file opened again
    std::uint64_t size;
    CoderValue value;
    std::vector<unsigned char> buffer = std::vector<unsigned char>(InPlaceChunkBytes);
    Span step{0, 0};
    bool decoded = false;
    std::vector<std::uint32_t> sums;
    std::future<bool> taken;  // last: its end waits for the thread, which uses the rest
};

SumsAhead::SumsAhead(JobFile& file, std::uint64_t size, CoderValue value)
    : shared_(std::make_unique<Shared>(file, size, value))
{
}

SumsAhead::~SumsAhead() = default;

void SumsAhead::Start(Span step, bool decoded)
{
    Shared& shared = *shared_;
    if (shared.taken.valid())
        shared.taken.wait();
    if (!shared.file.IsOpen())
        return;
    shared.step = step;
    shared.decoded = decoded;
    shared.sums.clear();
    try {
        shared.taken = std::async(std::launch::async, [&shared] {
            return AppendStepSums(shared.file, shared.size, shared.value, shared.step, shared.decoded,
                                  shared.buffer.data(), shared.sums, {});
        });
    } catch (const std::system_error&) {  // no thread: the job takes them itself
        shared.taken = {};
    }
}

bool SumsAhead::Take(Span step, bool decoded, std::vector<std::uint32_t>& sums, const std::function<void()>& meanwhile)
{
    Shared& shared = *shared_;
    if (!shared.taken.valid())
        return false;
    while (shared.taken.wait_for(std::chrono::milliseconds(20)) == std::future_status::timeout)
        if (meanwhile)
            meanwhile();
    if (!shared.taken.get() || step.from != shared.step.from || step.to != shared.step.to || decoded != shared.decoded)
        return false;
    sums.insert(sums.end(), shared.sums.begin(), shared.sums.end());
    return true;
}
