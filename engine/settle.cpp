// Writing the record's region: every sector not yet at the goal, damaged ones left as they are.
#include "engine/rewrite.h"

#include "engine/sector_checksums.h"

#include <algorithm>

namespace {

constexpr std::int64_t ProgressStepBlocks = 256;
static_assert(ProgressStepBlocks * BlockBytes % ChunkBytes == 0, "updates fall on chunk starts");
// How much a job in place writes before it asks for a flush behind it: the disk kept busy,
// what a step wrote is handed on as it is written, not at its end.
constexpr std::uint64_t FlushBehindBytes = 8 * ChunkBytes;

} // namespace

MoveEnd Rewrite::Settle(Sector goal, CodingView* view)
{
    const Span region = region_.Region();
    const std::uint64_t chunks = (region.to - region.from + ChunkBytes - 1) / ChunkBytes;
    // Restoring goes from the end down, so that what a failure leaves coded is the start of
    // the file, as it is reported.
    for (std::uint64_t k = 0; k < chunks; ++k) {
        const std::uint64_t at = region.from + (goal == Sector::Coded ? k : chunks - 1 - k) * ChunkBytes;
        position_ = at;
        const MoveEnd end = SettleChunk({at, std::min(at + ChunkBytes, region.to)}, goal, view);
        if (end != MoveEnd::Complete)
            return end;
    }
    position_ = region.to;
    writeFoundAgain_ = false;
    ShowEnd(goal, view);
    return MoveEnd::Complete;
}

MoveEnd Rewrite::SettleChunk(Span chunk, Sector goal, CodingView* view)
{
    const auto first = region_.SectorsAt(chunk.from), last = region_.SectorsEnd(chunk.from, chunk.to - chunk.from);
    const auto needs = [goal](Sector s) { return s != goal && s != Sector::Damaged; };
    const auto atGoal = [goal](Sector s) { return s == goal; };
    const bool again = writeFoundAgain_ && std::any_of(first, last, atGoal);
    if (std::none_of(first, last, needs) && !again)
        return MoveEnd::Complete;
    if (!ShowProgress(chunk.from, view))
        return MoveEnd::Closing;
    const unsigned char* data = HeldChunk(chunk, goal);
    if (!data) {
        unsigned char* const buffer = TakeBuffer();
        if (!ReadWhole(target_.file, target_.size, chunk.from, buffer, chunk.to - chunk.from))
            return MoveEnd::ReadFailed;
        if (again && !WriteRuns(chunk, buffer, atGoal, goal))
            return MoveEnd::WriteFailed;
        keystream_.Code(buffer, chunk.from, chunk.to - chunk.from);
        data = buffer;
    }
    if (!WriteRuns(chunk, data, needs, goal))
        return MoveEnd::WriteFailed;
    writer_.FlushBehind(FlushBehindBytes);
    return MoveEnd::Complete;
}

// The chunk in the step held, already coded towards `goal`; none when it is not there.
const unsigned char* Rewrite::HeldChunk(Span chunk, Sector goal) const
{
    if (held_.goal != goal || chunk.from < held_.step.from || chunk.to > held_.step.to)
        return nullptr;
    return CodingBuffer + (chunk.from - held_.step.from);
}

// Writes the runs of the chunk's sectors that `pick` picks, from `data`; each is `goal` then.
template <typename Pick>
bool Rewrite::WriteRuns(Span chunk, const unsigned char* data, Pick pick, Sector goal)
{
    const auto first = region_.SectorsAt(chunk.from), last = region_.SectorsEnd(chunk.from, chunk.to - chunk.from);
    for (auto run = std::find_if(first, last, pick); run != last; run = std::find_if(run, last, pick)) {
        const auto runEnd = std::find_if_not(run, last, pick);
        const std::uint64_t from = static_cast<std::uint64_t>(run - first) * SectorBytes;
        const std::uint64_t to = std::min<std::uint64_t>(static_cast<std::uint64_t>(runEnd - first) * SectorBytes,
                                                         chunk.to - chunk.from);
        if (!writer_.Write(chunk.from + from, data + from, to - from))
            return false;
        std::fill(run, runEnd, goal);
        run = runEnd;
    }
    return true;
}

// Shows the progress at the chunk from `at`, every few blocks; false when the view asks the
// job to end.
bool Rewrite::ShowProgress(std::uint64_t at, CodingView* view) const
{
    if (!view)
        return true;
    const std::int64_t block = static_cast<std::int64_t>(at / BlockBytes);
    if (block % ProgressStepBlocks == 0)
        view->ProgressMade({block, static_cast<std::int64_t>(target_.size / BlockBytes), target_.size, target_.name});
    return !view->ExitRequested();
}

// The block after the data, empty when the size is a whole number of blocks, has its update
// too when one falls on it, as every block does.
void Rewrite::ShowEnd(Sector goal, CodingView* view) const
{
    const std::int64_t lastBlock = static_cast<std::int64_t>(target_.size / BlockBytes);
    if (view && goal == Sector::Coded && region_.Region().to == target_.size && lastBlock % ProgressStepBlocks == 0 &&
        target_.size % BlockBytes == 0)
        view->ProgressMade({lastBlock, lastBlock, target_.size, target_.name});
}
