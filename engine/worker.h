#pragma once
// One thread beside a job, handed work the job waits for later: the flushes behind its
// writes, the next chunk read ahead, the next journal record made while a step is written.
// Memory and the disk, not the processor, are what such a job waits for, so work beside it is
// time won. Tasks run one at a time, in the order posted, on a thread made for the first one;
// where no thread can be had, each runs as it is posted, and the job is as safe, only slower.
// One implementation per platform: std::thread on POSIX, the system's own thread and locks on
// Windows, whose C++ threads would add half again to the program's size.
#include <cstdint>
#include <functional>
#include <memory>

class Worker {
public:
    using Ticket = std::uint64_t;  // a task's number, rising from 1; 0 stands for none
    using Task = std::function<bool()>;
    using Pump = std::function<void()>;  // keeps the window answering while the job waits

    Worker();
    ~Worker();  // ends after the tasks posted
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    Ticket Post(Task task);
    // Waits until the task of `ticket` has run, calling `pump` every few milliseconds; its
    // result (true for ticket 0). Any thread may wait, a task of another worker too.
    bool Wait(Ticket ticket, const Pump& pump = {});

    struct Shared;  // the tasks, their results and the thread

private:
    std::unique_ptr<Shared> shared_;
};
