// Work beside the job on the simulated disk runs on the job's own thread, at one end or the
// other of what a real thread may do: at once when started, or only when waited for, after
// everything the job did meanwhile (simulated_disk::SetWorkOrder). Work never waited for, as
// when the power goes, is never done.
#include "engine/work_beside.h"
#include "support/simulated_disk.h"

#include <optional>
#include <utility>

struct WorkBeside::Shared {
    std::function<bool()> work;  // started, not yet run
    std::optional<bool> result;
};

WorkBeside::WorkBeside() : shared_(std::make_unique<Shared>()) {}

WorkBeside::~WorkBeside() = default;

bool WorkBeside::Start(std::function<bool()> work)
{
    if (simulated_disk::CurrentWorkOrder() == simulated_disk::WorkOrder::AtStart)
        shared_->result = work();
    else
        shared_->work = std::move(work);
    return true;
}

bool WorkBeside::Wait(const std::function<void()>&)
{
    if (shared_->work)
        shared_->result = std::exchange(shared_->work, nullptr)();
    return std::exchange(shared_->result, std::nullopt).value_or(false);
}
