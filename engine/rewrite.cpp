#include "engine/rewrite.h"

#include "engine/sector_checksums.h"

#include <algorithm>

namespace {

// A repair tells sectors apart over the whole coding buffer at once.
constexpr std::uint64_t SumBytes = sizeof CodingBuffer;

// The view's pump, or nothing without a view.
Worker::Pump PumpOf(CodingView* view)
{
    return [view] {
        if (view)
            view->Waiting();
    };
}

} // namespace

Rewrite::Rewrite(InPlaceFile target, CoderValue value, Journal& journal)
    : target_(target), value_(value), journal_(journal), region_(target.size), keystream_(value), writer_(target.file),
      beside_(target.file, target.size, value, journal, writer_)
{
}

// The coding buffer holds a step when it and a chunk more fit; a larger one is read again to
// be written. Holding a large step measured slower than reading it twice: the held copy goes
// out to memory and back, and a read comes from the cache.
bool Rewrite::Holds(Span step) const
{
    return step.to - step.from + ChunkBytes <= sizeof CodingBuffer;
}

// The coding buffer, to be read into: a step held there is gone, and read again when written.
unsigned char* Rewrite::TakeBuffer()
{
    held_ = {};
    return CodingBuffer;
}

bool Rewrite::Take(Span step, Sector goal, std::vector<std::uint32_t>& sums, CodingView* view)
{
    sums.clear();
    const bool hold = Holds(step);
    const StepToRead read{target_.file, target_.size, value_, step, goal == Sector::Original};
    if (!AppendOriginalSums(read, TakeBuffer(), hold, sums, PumpOf(view)))
        return false;
    if (hold)
        held_ = {step, goal};
    return true;
}

// A file of more than one step is flushed behind the job, on a worker; one of a single step
// (most files) by the job itself, without a thread.
void Rewrite::Start(Sector state)
{
    region_.Start(journal_.Last(), state);
    writer_.FlushesBehind(target_.size > StepBytes(journal_.RegionBytes()));
}

bool Rewrite::Classify()
{
    const Span region = region_.Region();
    for (std::uint64_t at = region.from; at < region.to; at += SumBytes) {
        const std::uint64_t length = std::min(SumBytes, region.to - at);
        unsigned char* const buffer = TakeBuffer();
        if (!ReadWhole(target_.file, target_.size, at, buffer, length))
            return false;
        std::vector<std::uint32_t> asRead, decoded;
        AppendSectorChecksums(buffer, static_cast<std::size_t>(length), asRead);
        keystream_.Code(buffer, at, length);
        AppendSectorChecksums(buffer, static_cast<std::size_t>(length), decoded);
        region_.Tell(at, asRead, decoded);
    }
    return true;
}

bool Rewrite::ValueFits()
{
    if (region_.Record().done == 0)
        return region_.Count(Sector::Coded) > 0 || region_.Count(Sector::Damaged) < 2;
    const std::uint64_t length = std::min<std::uint64_t>(SectorBytes, target_.size);
    unsigned char* const buffer = TakeBuffer();
    if (!ReadWhole(target_.file, target_.size, 0, buffer, length))
        return false;
    keystream_.Code(buffer, 0, length);
    return Checksum(buffer, static_cast<std::size_t>(length)) == journal_.FirstSectorSum();
}

// Whether settling the region writes into `span`: a sector not at the goal there, or one that
// is, written again. The record made beside the job must then not drop it: it was asked
// before those writes and would not wait for them.
bool Rewrite::WritesInto(Span span, Sector goal)
{
    if (span.Empty())
        return false;
    const auto first = region_.SectorsAt(span.from), last = region_.SectorsEnd(span.from, span.to - span.from);
    return std::any_of(first, last, [&](Sector s) { return s != Sector::Damaged && (writeFoundAgain_ || s != goal); });
}

MoveEnd Rewrite::Move(Sector goal, CodingView* view)
{
    const bool forward = goal == Sector::Coded;
    // A move starts with everything written on disk, the whole record its first step.
    if (!writer_.FlushEverything(PumpOf(view)))
        return MoveEnd::WriteFailed;
    for (;;) {
        const bool last = IsLast(region_.Region(), target_.size, forward);
        const Step next = last ? Step{} : NextStep(region_.Region(), target_.size, journal_.RegionBytes(), forward);
        // A step too large to hold has its record made beside the job while this one is written.
        const bool beside = !last && !Holds(next.fresh) && !WritesInto(next.drops, goal) &&
                            beside_.Start(region_, next, forward);
        const MoveEnd end = Settle(goal, view);
        // Whatever ended the step, the record made meanwhile is the journal's state now.
        const bool made = beside && beside_.Finish(PumpOf(view));
        if (made)
            region_.Adopt(journal_.Last(), forward);
        if (end != MoveEnd::Complete)
            return end;
        if (last)
            return writer_.FlushEverything(PumpOf(view)) ? MoveEnd::Complete : MoveEnd::WriteFailed;
        writer_.FlushBehind();
        const MoveEnd recorded = made ? MoveEnd::Complete : NextRecord(next, forward, view);
        if (recorded != MoveEnd::Complete)
            return recorded;
    }
}

// The next record made by the job itself: its fresh step read for its checksums, then the
// record written once what it drops is durable.
MoveEnd Rewrite::NextRecord(const Step& step, bool forward, CodingView* view)
{
    std::vector<std::uint32_t> freshSums;
    if (!Take(step.fresh, forward ? Sector::Coded : Sector::Original, freshSums, view))
        return MoveEnd::ReadFailed;
    JournalRecord next = region_.Next(step, forward, std::move(freshSums));
    if (!WriteRecordOnceDurable(journal_, next, writer_, writer_.WhenDurable(step.drops), PumpOf(view)))
        return MoveEnd::WriteFailed;
    region_.Adopt(journal_.Last(), forward);
    return MoveEnd::Complete;
}
