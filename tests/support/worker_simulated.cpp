// The worker on the simulated disk runs its tasks on the job's own thread, at one end or the
// other of what a real thread may do: each at once when posted, or only when waited for,
// after everything the job did meanwhile (simulated_disk::SetWorkOrder). A flush behind the
// job is then made at the last moment a real one may, and a record made beside the job
// written after the step the job wrote meanwhile. Work never waited for, as when the power
// goes, is never done.
#include "engine/worker.h"
#include "support/simulated_disk.h"

#include <deque>
#include <vector>

struct Worker::Shared {
    std::deque<Task> queue;  // posted, not yet run
    std::vector<bool> results;  // of the tasks run, by ticket - 1
    Ticket posted = 0;
};

Worker::Worker() : shared_(std::make_unique<Shared>()) {}

Worker::~Worker() = default;

Worker::Ticket Worker::Post(Task task)
{
    if (simulated_disk::CurrentWorkOrder() == simulated_disk::WorkOrder::AtStart)
        shared_->results.push_back(task());
    else
        shared_->queue.push_back(std::move(task));
    return ++shared_->posted;
}

bool Worker::Wait(Ticket ticket, const Pump&)
{
    Shared& shared = *shared_;
    while (shared.results.size() < ticket) {
        const Task task = std::move(shared.queue.front());
        shared.queue.pop_front();
        shared.results.push_back(task());
    }
    return ticket == 0 || shared.results[static_cast<std::size_t>(ticket - 1)];
}
