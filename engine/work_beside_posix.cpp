#include "engine/work_beside.h"

#include <chrono>
#include <future>
#include <system_error>

struct WorkBeside::Shared {
    std::future<bool> result;  // a future of std::async waits for its thread as it ends
};

WorkBeside::WorkBeside() : shared_(std::make_unique<Shared>()) {}

WorkBeside::~WorkBeside() = default;

bool WorkBeside::Start(std::function<bool()> work)
{
    if (shared_->result.valid())
        shared_->result.wait();
    try {
        shared_->result = std::async(std::launch::async, std::move(work));
        return true;
    } catch (const std::system_error&) {
        shared_->result = {};
        return false;
    }
}

bool WorkBeside::Wait(const std::function<void()>& meanwhile)
{
    std::future<bool>& result = shared_->result;
    if (!result.valid())
        return false;
    while (result.wait_for(std::chrono::milliseconds(20)) == std::future_status::timeout)
        if (meanwhile)
            meanwhile();
    return result.get();
}
