#include "engine/durable_writer.h"

#include <algorithm>
#include <utility>

bool DurableWriter::Write(std::uint64_t at, const unsigned char* data, std::uint64_t bytes)
{
    unflushed_ = {std::min(unflushed_.from, at), std::max(unflushed_.to, at + bytes)};
    std::size_t written = 0;
    if (!file_.WriteAt(at, data, static_cast<std::size_t>(bytes), written))
        return false;
    file_.StartWriteBack(at, static_cast<std::size_t>(bytes));
    return true;
}

void DurableWriter::FlushBehind(std::uint64_t atLeast)
{
    if (!behind_ || unflushed_.Empty() || unflushed_.to - unflushed_.from < atLeast)
        return;
    inFlight_.push_back({PostFlush(), std::exchange(unflushed_, Nothing)});
}

// One flush takes in every ask before it: the asks that waited behind it find their writes
// durable already.
DurableWriter::Ticket DurableWriter::PostFlush()
{
    const Ticket ask = ++asked_;
    return worker_.Post([this, ask] {
        if (covered_ < ask) {
            const Ticket covering = asked_;
            failed_ = failed_ || !file_.Flush();
            covered_ = covering;
        }
        return !failed_;
    });
}

DurableWriter::Ticket DurableWriter::WhenDurable(Span span)
{
    std::erase_if(inFlight_, [this](const InFlight& flush) { return flush.ticket <= durable_; });
    Ticket needed = 0;
    for (const InFlight& flush : inFlight_)
        if (flush.written.Overlaps(span))
            needed = flush.ticket;
    return needed;
}

// A flush that failed is never taken for done: whatever waits for it again fails too.
bool DurableWriter::Wait(Ticket flush, const Worker::Pump& pump)
{
    if (!worker_.Wait(flush, pump))
        return false;
    Ticket known = durable_;
    while (known < flush && !durable_.compare_exchange_weak(known, flush)) {
    }
    return true;
}

bool DurableWriter::FlushEverything(const Worker::Pump& pump)
{
    FlushBehind();
    if (!inFlight_.empty() && !Wait(inFlight_.back().ticket, pump))
        return false;
    inFlight_.clear();
    return std::exchange(unflushed_, Nothing).Empty() || file_.Flush();
}
