// Work beside the job on the simulated disk is done at once, as it is started: its files are
// not to be used from two threads, and a real thread may as well finish before the job goes on.
#include "engine/work_beside.h"

#include <optional>
#include <utility>

struct WorkBeside::Shared {
    std::optional<bool> result;
};

WorkBeside::WorkBeside() : shared_(std::make_unique<Shared>()) {}

WorkBeside::~WorkBeside() = default;

bool WorkBeside::Start(std::function<bool()> work)
{
    shared_->result = work();
    return true;
}

bool WorkBeside::Wait(const std::function<void()>&)
{
    return std::exchange(shared_->result, std::nullopt).value_or(false);
}
