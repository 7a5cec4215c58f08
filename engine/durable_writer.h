#pragma once
// The writes of a job in place, and which of them are durable. What is written is handed to
// the disk at once (write-back started) and flushed behind the job on a worker, so that coding
// goes on while the disk catches up; a record of the journal asks, before it is written,
// whether the part of the file it drops is durable yet, and waits until it is.
#include "engine/job_files.h"
#include "engine/step_plan.h"
#include "engine/worker.h"

#include <atomic>
#include <cstdint>
#include <vector>

class DurableWriter {
public:
    using Ticket = Worker::Ticket;

    explicit DurableWriter(JobFile& file) : file_(file) {}

    // `behind`: flushes are asked for as the job goes, on the worker; else the job flushes
    // itself, once, in FlushEverything (a file of a single step: most files, no thread).
    void FlushesBehind(bool behind) { behind_ = behind; }

    // Writes `bytes` at `at` and starts their write-back.
    bool Write(std::uint64_t at, const unsigned char* data, std::uint64_t bytes);
    // Asks for what was written since the last ask to be flushed behind the job; with
    // `atLeast`, only once that much is waiting. Nothing without `behind`.
    void FlushBehind(std::uint64_t atLeast = 0);
    // The flush after which every write into `span` is durable: 0 when they all are already.
    Ticket WhenDurable(Span span);
    // Waits for that flush, calling `pump` meanwhile; false when a flush failed, and every
    // flush after a failed one fails too. Any thread may wait.
    bool Wait(Ticket flush, const Worker::Pump& pump);
    // Everything written made durable.
    bool FlushEverything(const Worker::Pump& pump);

private:
    Ticket PostFlush();

    // A flush asked for: once it is done, so are the writes into `written` before it.
    struct InFlight {
        Ticket ticket;
        Span written;
    };
    static constexpr Span Nothing{UINT64_MAX, 0};

    JobFile& file_;
    bool behind_ = false;
    Span unflushed_ = Nothing;          // written since the last flush was asked for
    std::vector<InFlight> inFlight_;    // oldest first; the job's thread alone
    std::atomic<Ticket> durable_{0};    // every flush up to this one succeeded
    std::atomic<Ticket> asked_{0};
    Ticket covered_ = 0;                // the worker's: the last ask the flushes so far took in
    bool failed_ = false;               // the worker's
    Worker worker_;                     // last: ended first, after the flushes asked for
};
