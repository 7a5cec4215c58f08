#include "engine/in_place_coding.h"

#include "engine/journal.h"
#include "engine/partly_coded_files.h"

#include <algorithm>
#include <vector>

namespace {

enum class Sector : unsigned char { Original, Coded, Damaged };
enum class MoveEnd { Complete, ReadFailed, WriteFailed, Closing };

// Written back 1 MiB at a time, which measured best in place; checksums are taken over the
// whole coding buffer at once.
constexpr std::uint64_t ChunkBytes = 64 * BlockBytes;
constexpr std::uint64_t SumBytes = sizeof CodingBuffer;
constexpr std::int64_t ProgressStepBlocks = 256;
static_assert(ProgressStepBlocks * BlockBytes % ChunkBytes == 0, "updates fall on chunk starts");

std::uint64_t SectorsIn(std::uint64_t bytes)
{
    return (bytes + SectorBytes - 1) / SectorBytes;
}

std::size_t BlocksIn(std::uint64_t bytes)
{
    return static_cast<std::size_t>((bytes + BlockBytes - 1) / BlockBytes);
}

CodingFailure FailureOf(MoveEnd end)
{
    return end == MoveEnd::ReadFailed ? CodingFailure::Read : CodingFailure::Write;
}

// The file under its journal. The journal's record says which region is being rewritten;
// `sectors_` says what each of its sectors is on disk. The file changes only inside the
// record's region, and the record moves past the region only once it is flushed.
class Rewrite {
public:
    Rewrite(InPlaceFile target, CoderValue value, Journal& journal)
        : target_(target), value_(value), journal_(journal)
    {
    }

    // The checksums of the original data of [from, to): as it is read, or decoded.
    bool Sums(std::uint64_t from, std::uint64_t to, bool decode, std::vector<std::uint32_t>& sums)
    {
        sums.clear();
        for (std::uint64_t at = from; at < to; at += SumBytes) {
            const std::uint64_t length = std::min(SumBytes, to - at);
            if (!Read(at, length))
                return false;
            if (decode)
                Code(at, length);
            for (std::uint64_t s = 0; s < length; s += SectorBytes)
                sums.push_back(Checksum(CodingBuffer + s, static_cast<std::size_t>(std::min<std::uint64_t>(SectorBytes, length - s))));
        }
        return true;
    }

    // Starts from the journal's record with every sector of its region as `state`.
    void Start(Sector state)
    {
        record_ = journal_.Last();
        sectors_.assign(record_.sums.size(), state);
    }

    // Tells every sector of the region apart by reading it: as it was, coded, or neither.
    bool Classify()
    {
        for (std::uint64_t at = record_.done; at < record_.regionEnd; at += SumBytes) {
            const std::uint64_t length = std::min(SumBytes, record_.regionEnd - at);
            if (!Read(at, length))
                return false;
            const std::size_t first = static_cast<std::size_t>((at - record_.done) / SectorBytes);
            std::vector<std::uint32_t> asRead;
            for (std::uint64_t s = 0; s < length; s += SectorBytes)
                asRead.push_back(Checksum(CodingBuffer + s, SectorLength(at + s)));
            Code(at, length);
            for (std::size_t k = 0; k < asRead.size(); ++k) {
                const std::uint32_t original = record_.sums[first + k];
                const std::uint64_t s = k * SectorBytes;
                sectors_[first + k] = asRead[k] == original ? Sector::Original
                                      : Checksum(CodingBuffer + s, SectorLength(at + s)) == original ? Sector::Coded
                                                                                                      : Sector::Damaged;
            }
        }
        return true;
    }

    // Whether the value given codes this file as the journal knows it: the first sector, once
    // coded, decodes to its original checksum. Before that, a different value shows as many
    // sectors that are neither, where a power cut tears one.
    bool ValueFits()
    {
        if (record_.done == 0)
            return Count(Sector::Coded) > 0 || Count(Sector::Damaged) < 2;
        const std::uint64_t length = SectorLength(0);
        if (!Read(0, length))
            return false;
        Code(0, length);
        return Checksum(CodingBuffer, static_cast<std::size_t>(length)) == journal_.FirstSectorSum();
    }

    std::uint64_t CodedBytes() const
    {
        std::uint64_t coded = record_.done;
        for (std::size_t k = 0; k < sectors_.size(); ++k)
            if (sectors_[k] == Sector::Coded)
                coded += SectorLength(record_.done + k * SectorBytes);
        return coded;
    }

    InterruptedFile Describe() const
    {
        InterruptedFile found{journal_.Path(), target_.size, CodedBytes(), {}};
        for (std::size_t k = 0; k < sectors_.size(); ++k) {
            if (sectors_[k] != Sector::Damaged)
                continue;
            const std::uint64_t from = record_.done + k * SectorBytes;
            const std::uint64_t to = from + SectorLength(from);
            if (!found.damaged.empty() && found.damaged.back().to == from)
                found.damaged.back().to = to;
            else
                found.damaged.push_back({from, to, target_.size});
        }
        return found;
    }

    bool HasDamage() const { return Count(Sector::Damaged) > 0; }
    // Where the last chunk not written starts.
    std::uint64_t Position() const { return position_; }

    // Brings the whole file to `goal` (coded or as it was), a region at a time: towards the end
    // when coding, towards the start when restoring. With a view, progress is shown and an
    // exit request ends the move with the file as the journal tells it.
    MoveEnd Move(Sector goal, CodingView* view)
    {
        const bool forward = goal == Sector::Coded;
        for (;;) {
            const MoveEnd end = Settle(goal, view);
            if (end != MoveEnd::Complete)
                return end;
            if (forward ? record_.regionEnd == target_.size : record_.done == 0)
                return MoveEnd::Complete;
            const MoveEnd next = NextRegion(forward);
            if (next != MoveEnd::Complete)
                return next;
        }
    }

private:
    std::uint64_t SectorLength(std::uint64_t at) const { return std::min<std::uint64_t>(SectorBytes, target_.size - at); }

    std::size_t Count(Sector state) const
    {
        return static_cast<std::size_t>(std::count(sectors_.begin(), sectors_.end(), state));
    }

    // Reads [at, at + length) into the coding buffer; at the end of the file a whole chunk is
    // asked for, so that a file grown meanwhile is noticed.
    bool Read(std::uint64_t at, std::uint64_t length)
    {
        const std::uint64_t wanted = at + length == target_.size ? std::max(length, ChunkBytes) : length;
        std::size_t read = 0;
        return target_.file.ReadAt(at, CodingBuffer, static_cast<std::size_t>(wanted), read) && read == length;
    }

    // Codes the buffer as the bytes at `at`: the register is stepped there only when the
    // coding does not simply go on from the last.
    void Code(std::uint64_t at, std::uint64_t length)
    {
        if (at != stateAt_)
            state_ = StepRegisterBy(static_cast<CoderState>(value_), at / 4);
        CodeChunk(CodingBuffer, BlocksIn(length), state_);
        stateAt_ = at + BlocksIn(length) * BlockBytes;
    }

    // The next region, its checksums taken before it changes, in a record that is flushed
    // before any byte of it is written.
    MoveEnd NextRegion(bool forward)
    {
        const std::uint64_t region = journal_.RegionBytes();
        JournalRecord next;
        next.done = forward ? record_.regionEnd : (record_.done > region ? record_.done - region : 0);
        next.regionEnd = forward ? std::min(record_.regionEnd + region, target_.size) : record_.done;
        if (!Sums(next.done, next.regionEnd, !forward, next.sums))
            return MoveEnd::ReadFailed;
        if (!journal_.Write(next))
            return MoveEnd::WriteFailed;
        Start(forward ? Sector::Original : Sector::Coded);
        return MoveEnd::Complete;
    }

    // Writes every sector of the region that is not yet `goal`, damaged ones left as they
    // are, then flushes the file.
    MoveEnd Settle(Sector goal, CodingView* view)
    {
        bool wrote = false;
        const std::int64_t lastBlock = static_cast<std::int64_t>(target_.size / BlockBytes);
        for (std::uint64_t at = record_.done; at < record_.regionEnd; at += ChunkBytes) {
            position_ = at;
            const std::uint64_t length = std::min(ChunkBytes, record_.regionEnd - at);
            const auto first = sectors_.begin() + static_cast<std::ptrdiff_t>((at - record_.done) / SectorBytes);
            const auto last = first + static_cast<std::ptrdiff_t>(SectorsIn(length));
            const auto needs = [goal](Sector s) { return s != goal && s != Sector::Damaged; };
            if (std::none_of(first, last, needs))
                continue;
            if (!Read(at, length))
                return MoveEnd::ReadFailed;
            Code(at, length);
            const std::int64_t block = static_cast<std::int64_t>(at / BlockBytes);
            if (view && block % ProgressStepBlocks == 0)
                view->ProgressMade({block, lastBlock, target_.size, target_.name});
            if (view && view->ExitRequested())
                return MoveEnd::Closing;
            for (auto run = std::find_if(first, last, needs); run != last; run = std::find_if(run, last, needs)) {
                const auto runEnd = std::find_if_not(run, last, needs);
                const std::uint64_t from = static_cast<std::uint64_t>(run - first) * SectorBytes;
                const std::uint64_t to = std::min<std::uint64_t>(static_cast<std::uint64_t>(runEnd - first) * SectorBytes, length);
                std::size_t written = 0;
                wrote = true;
                if (!target_.file.WriteAt(at + from, CodingBuffer + from, static_cast<std::size_t>(to - from), written))
                    return MoveEnd::WriteFailed;
                std::fill(run, runEnd, goal);
                run = runEnd;
            }
        }
        position_ = record_.regionEnd;
        // The block after the data, empty when the size is a whole number of blocks, has its
        // update too when one falls on it, as every block does.
        if (view && goal == Sector::Coded && record_.regionEnd == target_.size && lastBlock % ProgressStepBlocks == 0 &&
            target_.size % BlockBytes == 0)
            view->ProgressMade({lastBlock, lastBlock, target_.size, target_.name});
        return wrote && !target_.file.Flush() ? MoveEnd::WriteFailed : MoveEnd::Complete;
    }

    InPlaceFile target_;
    CoderValue value_;
    Journal& journal_;
    JournalRecord record_;
    std::vector<Sector> sectors_;
    CoderState state_ = 0;
    std::uint64_t stateAt_ = UINT64_MAX;  // the offset state_ codes next
    std::uint64_t position_ = 0;
};

// After a failure, what was coded is restored, the sectors told apart first (a failed write
// may have reached part of them). A file that can't be restored keeps its journal, which the
// next run finds, and is remembered for this session too.
void UndoAfterFailure(Rewrite& rewrite, Journal& journal, InPlaceFile target, CodingFailure failure,
                      CodingView& view)
{
    if (rewrite.Classify() && rewrite.Move(Sector::Original, nullptr) == MoveEnd::Complete && !rewrite.HasDamage()) {
        journal.Remove();
        view.ReportCantCode(failure, target.path, std::nullopt);
        return;
    }
    const CodedRange left{0, rewrite.CodedBytes(), target.size};
    RememberPartlyCoded(target.path, left);
    view.ReportCantCode(failure, target.path, left);
}

} // namespace

bool CodeInPlaceJournaled(InPlaceFile target, CoderValue value, CodingView& view)
{
    if (target.size == 0)
        return true;
    Journal journal;
    Rewrite rewrite(target, value, journal);
    // A file smaller than a region is one region, and its journal no larger than it needs.
    const std::uint64_t region = std::min(JournalRegionBytes, SectorsIn(target.size) * SectorBytes);
    JournalRecord first{0, 0, std::min(region, target.size), {}};
    if (!rewrite.Sums(first.done, first.regionEnd, false, first.sums)) {
        view.ReportCantCode(CodingFailure::Read, target.path, std::nullopt);
        return false;
    }
    const std::string journalPath = JournalPath(target.path);
    if (!journal.Create(journalPath, target.size, first.sums.front(), region, first)) {
        view.ReportCantCode(CodingFailure::Write, journalPath, std::nullopt);
        return false;
    }
    rewrite.Start(Sector::Original);

    view.ProgressBegun(static_cast<std::int64_t>(target.size / BlockBytes));
    MoveEnd end = rewrite.Move(Sector::Coded, &view);
    view.ProgressEnded();
    bool undone = false;
    if (end == MoveEnd::Closing) {
        undone = target.size - rewrite.Position() > rewrite.Position();
        end = rewrite.Move(undone ? Sector::Original : Sector::Coded, nullptr);
    }
    if (end != MoveEnd::Complete) {
        UndoAfterFailure(rewrite, journal, target, FailureOf(end), view);
        return false;
    }
    journal.Remove();
    return !undone;
}

bool RepairInPlace(InPlaceFile target, CoderValue value, CodingView& view)
{
    Journal journal;
    const std::string journalPath = JournalPath(target.path);
    switch (journal.Open(journalPath)) {
    case Journal::Found::Valid:
        break;
    case Journal::Found::NoRecord:  // cut short before the file changed: coded afresh
        if (!journal.Remove()) {
            view.ReportCantCode(CodingFailure::Write, journalPath, std::nullopt);
            return false;
        }
        return CodeInPlaceJournaled(target, value, view);
    case Journal::Found::Unusable:
        view.ReportCantOpen(journalPath);
        return false;
    }
    // A journal of another size is not this file's: nothing is guessed.
    if (journal.FileSize() != target.size) {
        view.ReportCantOpen(journalPath);
        return false;
    }
    Rewrite rewrite(target, value, journal);
    rewrite.Start(Sector::Damaged);
    if (!rewrite.Classify()) {
        view.ReportCantCode(CodingFailure::Read, target.path, std::nullopt);
        return false;
    }
    if (!rewrite.ValueFits()) {
        view.ReportWrongValue(target.path, journalPath);
        return false;
    }
    const RepairChoice choice = view.ChooseRepair(target.path, rewrite.Describe());
    if (choice == RepairChoice::Leave)
        return false;
    ForgetPartlyCoded(target.path);

    view.ProgressBegun(static_cast<std::int64_t>(target.size / BlockBytes));
    const MoveEnd end = rewrite.Move(choice == RepairChoice::Finish ? Sector::Coded : Sector::Original, &view);
    view.ProgressEnded();
    if (end == MoveEnd::Closing)  // the journal tells the next run where this one stopped
        return false;
    if (end != MoveEnd::Complete) {
        view.ReportCantCode(FailureOf(end), target.path, CodedRange{0, rewrite.CodedBytes(), target.size});
        return false;
    }
    const InterruptedFile left = rewrite.Describe();
    journal.Remove();
    if (!left.damaged.empty()) {
        view.ReportDamaged(target.path, left);
        return false;
    }
    return true;
}
