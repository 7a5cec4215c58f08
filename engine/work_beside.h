#pragma once
// One piece of a job's work run on a thread of its own while the job goes on, and waited for
// when the job needs its result: a job in place has the next journal record made (the next
// step read for its checksums, the record written and flushed) while it writes the step
// before. Memory and the disk's flushes, not the processor, are what such a job waits for;
// in turn, each step cost a third more. A thread for each piece: a handful a GiB, each made
// in well under a millisecond. Where none can be had, the job does the work itself.
#include <functional>
#include <memory>

class WorkBeside {
public:
    WorkBeside();
    ~WorkBeside();  // waits for the work under way
    WorkBeside(const WorkBeside&) = delete;
    WorkBeside& operator=(const WorkBeside&) = delete;

    // Runs `work` beside the caller, after the work before it was waited for. False when no
    // thread could be had: nothing was run.
    bool Start(std::function<bool()> work);
    // Waits for the work started, calling `meanwhile` every few milliseconds; its result.
    bool Wait(const std::function<void()>& meanwhile);

    struct Shared;  // the work, its thread and its result

private:
    std::unique_ptr<Shared> shared_;
};
