#include "engine/in_place_coding.h"

#include "engine/file_journal.h"
#include "engine/flush_behind.h"
#include "engine/journal.h"
#include "engine/partly_coded_files.h"
#include "engine/sector_checksums.h"
#include "engine/work_beside.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

std::uint64_t JournalRegionBytes = std::uint64_t{256} << 20;

namespace {

enum class Sector : unsigned char { Original, Coded, Damaged };
enum class MoveEnd { Complete, ReadFailed, WriteFailed, Changed, Closing };

// Written back 1 MiB at a time, which measured best in place; a repair tells sectors apart
// over the whole coding buffer at once.
constexpr std::uint64_t ChunkBytes = 64 * BlockBytes;
constexpr std::uint64_t SumBytes = sizeof CodingBuffer;
constexpr std::int64_t ProgressStepBlocks = 256;
// How much a job in place writes before it asks for a flush behind it.
constexpr std::uint64_t FlushBehindBytes = 8 * ChunkBytes;
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
    return end == MoveEnd::ReadFailed ? CodingFailure::Read
           : end == MoveEnd::Changed  ? CodingFailure::Changed
                                      : CodingFailure::Write;
}

// Bytes [from, to) of the file.
struct Span {
    std::uint64_t from;
    std::uint64_t to;
};

// Reads [at, at + length) of a file of `size` bytes into `buffer`, which has room for a chunk
// more: at the end of the file a whole chunk is asked for, so that a file grown is noticed.
bool ReadWhole(JobFile& file, std::uint64_t size, std::uint64_t at, unsigned char* buffer, std::uint64_t length)
{
    const std::uint64_t wanted = at + length == size ? std::max(length, ChunkBytes) : length;
    std::size_t read = 0;
    return file.ReadAt(at, buffer, static_cast<std::size_t>(wanted), read) && read == length;
}

// The keystream of a value at any offset of the file: the register is stepped there only when
// the coding does not simply go on from the last.
class KeystreamAt {
public:
    explicit KeystreamAt(CoderValue value) : value_(value) {}

    // Codes `data` as the bytes at `at`.
    void Code(unsigned char* data, std::uint64_t at, std::uint64_t length)
    {
        if (at != next_)
            state_ = StepRegisterBy(static_cast<CoderState>(value_), at / 4);
        CodeChunk(data, BlocksIn(length), state_);
        next_ = at + BlocksIn(length) * BlockBytes;
    }

private:
    CoderValue value_;
    CoderState state_ = 0;
    std::uint64_t next_ = UINT64_MAX;  // the offset state_ codes next
};

// The view's pump, or nothing without a view.
std::function<void()> PumpOf(CodingView* view)
{
    return [view] {
        if (view)
            view->Waiting();
    };
}

// Appends the checksums of the sectors of `step` to `sums`: of the data as read or, `decoded`,
// of it coded with `value` (the original of a coded step). Read a chunk at a time into
// `buffer`, `meanwhile` called every few chunks. False when the step can't be read whole,
// or the file of `size` bytes has grown.
bool AppendStepSums(JobFile& file, std::uint64_t size, CoderValue value, Span step, bool decoded,
                    unsigned char* buffer, std::vector<std::uint32_t>& sums, const std::function<void()>& meanwhile)
{
    KeystreamAt keystream(value);
    for (std::uint64_t at = step.from; at < step.to; at += ChunkBytes) {
        if (meanwhile && (at - step.from) % (8 * ChunkBytes) == 0)
            meanwhile();
        const std::uint64_t length = std::min(ChunkBytes, step.to - at);
        if (!ReadWhole(file, size, at, buffer, length))
            return false;
        if (decoded)
            keystream.Code(buffer, at, length);
        AppendSectorChecksums(buffer, static_cast<std::size_t>(length), sums);
    }
    return true;
}

// A journal of `regionBytes` moves by a quarter of that, in whole sectors: a record covers the
// step being written and up to three before it whose flushes may still be under way, so that
// coding goes on while the disk catches up, and one flush takes in all the steps it finds.
constexpr std::uint64_t StepsPerRegion = 4;
std::uint64_t StepBytes(std::uint64_t regionBytes)
{
    return std::max<std::uint64_t>(regionBytes / StepsPerRegion / SectorBytes * SectorBytes, SectorBytes);
}

// The file under its journal. The journal's record says which region is being rewritten;
// `sectors_` says what each of its sectors is on disk. The file changes only inside the
// record's region, and the record moves past a part of it only once that part is flushed.
class Rewrite {
public:
    Rewrite(InPlaceFile target, CoderValue value, Journal& journal)
        : target_(target), value_(value), journal_(journal), keystream_(value), flushes_(target.file)
    {
    }

    // Reads a step that is about to be rewritten and takes the checksums of its original data;
    // a small one is held, coded towards the goal, for Settle to write without reading it
    // again. The window is kept answering meanwhile.
    bool Take(Span step, Sector goal, std::vector<std::uint32_t>& sums, CodingView* view = nullptr)
    {
        unsigned char* const held = Holding(step.to - step.from);  // none: read again to be written
        sums.clear();
        if (!held) {
            held_ = {};  // the coding buffer is read into
            return AppendStepSums(target_.file, target_.size, value_, step, goal == Sector::Original, CodingBuffer,
                                  sums, PumpOf(view));
        }
        for (std::uint64_t at = step.from; at < step.to; at += ChunkBytes) {
            if (view && (at - step.from) % (8 * ChunkBytes) == 0)
                view->Waiting();
            const std::uint64_t length = std::min(ChunkBytes, step.to - at);
            unsigned char* const chunk = held + (at - step.from);
            if (!Read(chunk, at, length))
                return false;
            if (goal == Sector::Original)  // as read, coded
                Code(chunk, at, length);
            AppendSectorChecksums(chunk, static_cast<std::size_t>(length), sums);
            if (goal == Sector::Coded)
                Code(chunk, at, length);
        }
        held_ = Held{held, step, goal};
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
            std::vector<std::uint32_t> asRead, decoded;
            AppendSectorChecksums(CodingBuffer, static_cast<std::size_t>(length), asRead);
            Code(at, length);
            AppendSectorChecksums(CodingBuffer, static_cast<std::size_t>(length), decoded);
            for (std::size_t k = 0; k < asRead.size(); ++k) {
                const std::uint32_t original = record_.sums[first + k];
                sectors_[first + k] = asRead[k] == original   ? Sector::Original
                                      : decoded[k] == original ? Sector::Coded
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
    // Has the next move write again, as read, the sectors of the region it finds at its goal:
    // after a flush that failed, Linux reads back data the disk never got, and takes the
    // next flush for a success. A repair trusts no read of the region an earlier run left.
    void WriteFoundAgain() { writeFoundAgain_ = true; }
    // Where the last chunk not written starts.
    std::uint64_t Position() const { return position_; }

    // Brings the whole file to `goal` (coded or as it was), a region at a time: towards the end
    // when coding, towards the start when restoring. With a view, progress is shown and an
    // exit request ends the move with the file as the journal tells it.
    MoveEnd Move(Sector goal, CodingView* view)
    {
        const bool forward = goal == Sector::Coded;
        // A move starts with everything written on disk, the whole record its first step.
        if (!FlushEverything(view))
            return MoveEnd::WriteFailed;
        for (;;) {
            const bool last = forward ? record_.regionEnd == target_.size : record_.done == 0;
            const bool ahead = StartRecordAhead(forward);
            const MoveEnd end = Settle(goal, view);
            // Whatever ended the step, the record made meanwhile is the journal's state now.
            const bool advanced = ahead && FinishRecordAhead(forward, view);
            if (end != MoveEnd::Complete)
                return end;
            if (last)
                return FlushEverything(view) ? MoveEnd::Complete : MoveEnd::WriteFailed;
            FlushBehindJob(forward);
            const MoveEnd next = advanced ? MoveEnd::Complete : NextRegion(forward, view);
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

    // Reads [at, at + length) into `buffer`, which has room for a chunk more (see ReadWhole).
    bool Read(unsigned char* buffer, std::uint64_t at, std::uint64_t length)
    {
        if (buffer == CodingBuffer && held_.data == CodingBuffer)
            held_ = {};
        return ReadWhole(target_.file, target_.size, at, buffer, length);
    }
    bool Read(std::uint64_t at, std::uint64_t length) { return Read(CodingBuffer, at, length); }

    void Code(unsigned char* data, std::uint64_t at, std::uint64_t length) { keystream_.Code(data, at, length); }
    void Code(std::uint64_t at, std::uint64_t length) { Code(CodingBuffer, at, length); }

    // The coding buffer, when a step of `bytes` and a chunk more fit in it; else none, and the
    // step is read again to be written. Holding a large step measured slower than reading it
    // twice: the held copy goes out to memory and back, and a read comes from the cache.
    static unsigned char* Holding(std::uint64_t bytes)
    {
        return bytes + ChunkBytes <= sizeof CodingBuffer ? CodingBuffer : nullptr;
    }

    // The step after the record's region: towards the end when coding, the start when restoring.
    Span NextStep(bool forward) const
    {
        const std::uint64_t step = StepBytes(journal_.RegionBytes());
        return forward ? Span{record_.regionEnd, std::min(record_.regionEnd + step, target_.size)}
                       : Span{record_.done > step ? record_.done - step : 0, record_.done};
    }

    // The record after this one: the next step added (its checksums still to be taken) and the
    // steps it can't keep dropped, with how many flushes in flight must be done first. The
    // record spans `RegionBytes()` at most, and keeps the steps before the new one as far as
    // it can, their flushes maybe still under way.
    struct NextRecord {
        JournalRecord record;
        Span fresh;
        std::size_t flushesFirst;
    };
    NextRecord PlanNextRecord(bool forward) const
    {
        const std::uint64_t most = journal_.RegionBytes();
        const std::uint64_t step = StepBytes(most);
        const Span fresh = NextStep(forward);
        JournalRecord next;
        next.done = forward ? std::max(record_.done, fresh.from + step > most ? fresh.from + step - most : 0) : fresh.from;
        next.regionEnd = forward ? fresh.to : std::min(record_.regionEnd, fresh.to + (most - step));
        return {next, fresh, forward ? Flushed(next.done) : Flushed(next.regionEnd)};
    }

    // The checksums of the part of this record that the next keeps, put beside the fresh ones.
    void KeepSums(bool forward, NextRecord& next, std::vector<std::uint32_t> freshSums) const
    {
        const auto [keptFrom, keptTo] = Kept(forward, next.record);
        next.record.sums = std::move(freshSums);
        next.record.sums.insert(forward ? next.record.sums.begin() : next.record.sums.end(),
                                record_.sums.begin() + keptFrom, record_.sums.begin() + keptTo);
    }

    // Where the sectors of this record that the next keeps lie in it.
    std::pair<std::ptrdiff_t, std::ptrdiff_t> Kept(bool forward, const JournalRecord& next) const
    {
        return {static_cast<std::ptrdiff_t>(forward ? (next.done - record_.done) / SectorBytes : 0),
                static_cast<std::ptrdiff_t>(forward ? record_.sums.size() : SectorsIn(next.regionEnd - record_.done))};
    }

    // Moves on to the record just written: its flushes waited for are forgotten, and its
    // sectors are the kept ones as they are, and the fresh ones as they were.
    void Adopt(bool forward, const NextRecord& next)
    {
        inFlight_.erase(inFlight_.begin(), inFlight_.begin() + static_cast<std::ptrdiff_t>(next.flushesFirst));
        const auto [keptFrom, keptTo] = Kept(forward, next.record);
        std::vector<Sector> sectors(SectorsIn(next.fresh.to - next.fresh.from), forward ? Sector::Original : Sector::Coded);
        sectors.insert(forward ? sectors.begin() : sectors.end(), sectors_.begin() + keptFrom, sectors_.begin() + keptTo);
        record_ = journal_.Last();
        sectors_ = std::move(sectors);
    }

    // The next step, its checksums taken before it changes, in a record that is flushed before
    // any byte of it is written; what the record drops is on disk first.
    MoveEnd NextRegion(bool forward, CodingView* view)
    {
        NextRecord next = PlanNextRecord(forward);
        std::vector<std::uint32_t> freshSums;
        if (!Take(next.fresh, forward ? Sector::Coded : Sector::Original, freshSums, view))
            return MoveEnd::ReadFailed;
        if (!WaitForFlushes(next.flushesFirst, view))
            return MoveEnd::WriteFailed;
        next.flushesFirst = 0;  // forgotten as they were waited for
        KeepSums(forward, next, std::move(freshSums));
        if (!journal_.Write(next.record))
            return MoveEnd::WriteFailed;
        Adopt(forward, next);
        return MoveEnd::Complete;
    }

    // Makes the next record beside the job while it writes the last step of this one: the
    // next step read through a handle of its own, the flushes waited for, the record written.
    // Meanwhile the job changes nothing the work reads (this record, the next step), and
    // nothing else uses the journal. Not for a step small enough to hold, nor the last.
    bool StartRecordAhead(bool forward)
    {
        ahead_ = PlanNextRecord(forward);
        const Span fresh = ahead_.fresh;
        if (fresh.to <= fresh.from || Holding(fresh.to - fresh.from))
            return false;
        if (!reader_.IsOpen()) {
            reader_ = ReopenToRead(target_.file);
            readerBuffer_.resize(ChunkBytes);
        }
        if (!reader_.IsOpen())
            return false;
        const std::uint64_t waitFor = ahead_.flushesFirst ? inFlight_[ahead_.flushesFirst - 1].ticket : 0;
        return beside_.Start([this, forward, waitFor] {
            std::vector<std::uint32_t> freshSums;
            if (!AppendStepSums(reader_, target_.size, value_, ahead_.fresh, !forward, readerBuffer_.data(), freshSums, {}))
                return false;
            if (waitFor && !flushes_.Wait(waitFor, {}))
                return false;
            KeepSums(forward, ahead_, std::move(freshSums));
            return journal_.Write(ahead_.record);
        });
    }

    // Waits for the record made beside the job, and moves on to it once written. False when
    // it could not be made: the job then makes it itself, and finds out why.
    bool FinishRecordAhead(bool forward, CodingView* view)
    {
        const bool written = beside_.Wait(PumpOf(view));
        if (written)
            Adopt(forward, ahead_);
        return written;
    }

    // How many of the flushes in flight, oldest first, must be done for the file to be on disk
    // up to `offset` (coding: all before it; restoring: all from it on).
    std::size_t Flushed(std::uint64_t offset) const
    {
        std::size_t needed = 0;
        for (std::size_t k = 0; k < inFlight_.size(); ++k)
            if (inFlight_[k].forward ? inFlight_[k].written.from < offset : inFlight_[k].written.to > offset)
                needed = k + 1;
        return needed;
    }

    // Asks for what was written since the last request to be flushed behind the job.
    void FlushBehindJob(bool forward)
    {
        if (unflushed_.to <= unflushed_.from)
            return;
        inFlight_.push_back({flushes_.Start(), std::exchange(unflushed_, Nothing), forward});
    }

    // A file of more than one step is flushed by the thread; one of a single step (most
    // files) by the job itself, without a thread.
    bool FlushesBehind() const { return target_.size > StepBytes(journal_.RegionBytes()); }

    // Everything written made durable, the window kept alive meanwhile.
    bool FlushEverything(CodingView* view)
    {
        if (FlushesBehind())
            FlushBehindJob(true);
        if (!WaitForFlushes(inFlight_.size(), view))
            return false;
        return std::exchange(unflushed_, Nothing).to == 0 || target_.file.Flush();
    }

    // Waits for the oldest `count` flushes in flight, the window kept alive meanwhile.
    bool WaitForFlushes(std::size_t count, CodingView* view)
    {
        if (count == 0)
            return true;
        const bool flushed = flushes_.Wait(inFlight_[count - 1].ticket, PumpOf(view));
        inFlight_.erase(inFlight_.begin(), inFlight_.begin() + static_cast<std::ptrdiff_t>(count));
        return flushed;
    }

    // Writes every sector of the record's region that is not yet `goal`, damaged ones left as
    // they are.
    MoveEnd Settle(Sector goal, CodingView* view)
    {
        const std::int64_t lastBlock = static_cast<std::int64_t>(target_.size / BlockBytes);
        // Restoring goes from the end down, so that what a failure leaves coded is the start
        // of the file, as it is reported.
        const std::uint64_t chunks = (record_.regionEnd - record_.done + ChunkBytes - 1) / ChunkBytes;
        for (std::uint64_t k = 0; k < chunks; ++k) {
            const std::uint64_t at = record_.done + (goal == Sector::Coded ? k : chunks - 1 - k) * ChunkBytes;
            position_ = at;
            const std::uint64_t length = std::min(ChunkBytes, record_.regionEnd - at);
            const auto first = sectors_.begin() + static_cast<std::ptrdiff_t>((at - record_.done) / SectorBytes);
            const auto last = first + static_cast<std::ptrdiff_t>(SectorsIn(length));
            const auto needs = [goal](Sector s) { return s != goal && s != Sector::Damaged; };
            const auto atGoal = [goal](Sector s) { return s == goal; };
            const bool again = writeFoundAgain_ && std::any_of(first, last, atGoal);
            if (std::none_of(first, last, needs) && !again)
                continue;
            const std::int64_t block = static_cast<std::int64_t>(at / BlockBytes);
            if (view && block % ProgressStepBlocks == 0)
                view->ProgressMade({block, lastBlock, target_.size, target_.name});
            if (view && view->ExitRequested())
                return MoveEnd::Closing;
            unsigned char* data = CodingBuffer;
            if (held_.goal == goal && held_.step.from <= at && at + length <= held_.step.to) {
                data = held_.data + (at - held_.step.from);
            } else {
                if (!Read(at, length))
                    return MoveEnd::ReadFailed;
                if (again && !WriteRuns(at, length, CodingBuffer, first, last, atGoal, goal))
                    return MoveEnd::WriteFailed;
                Code(at, length);
            }
            if (!WriteRuns(at, length, data, first, last, needs, goal))
                return MoveEnd::WriteFailed;
            // The disk kept busy: what a step wrote is handed on as it is written, not at its end.
            if (FlushesBehind() && unflushed_.to - unflushed_.from >= FlushBehindBytes)
                FlushBehindJob(goal == Sector::Coded);
        }
        position_ = record_.regionEnd;
        writeFoundAgain_ = false;
        // The block after the data, empty when the size is a whole number of blocks, has its
        // update too when one falls on it, as every block does.
        if (view && goal == Sector::Coded && record_.regionEnd == target_.size && lastBlock % ProgressStepBlocks == 0 &&
            target_.size % BlockBytes == 0)
            view->ProgressMade({lastBlock, lastBlock, target_.size, target_.name});
        return MoveEnd::Complete;
    }

    // Writes the runs of the chunk's sectors [first, last) at `at` that `pick` picks, from
    // `data`; each is `goal` then.
    template <typename Pick>
    bool WriteRuns(std::uint64_t at, std::uint64_t length, const unsigned char* data, std::vector<Sector>::iterator first,
                   std::vector<Sector>::iterator last, Pick pick, Sector goal)
    {
        for (auto run = std::find_if(first, last, pick); run != last; run = std::find_if(run, last, pick)) {
            const auto runEnd = std::find_if_not(run, last, pick);
            const std::uint64_t from = static_cast<std::uint64_t>(run - first) * SectorBytes;
            const std::uint64_t to = std::min<std::uint64_t>(static_cast<std::uint64_t>(runEnd - first) * SectorBytes, length);
            std::size_t count = 0;
            unflushed_ = {std::min(unflushed_.from, at + from), std::max(unflushed_.to, at + to)};
            if (!target_.file.WriteAt(at + from, data + from, static_cast<std::size_t>(to - from), count))
                return false;
            target_.file.StartWriteBack(at + from, static_cast<std::size_t>(to - from));
            std::fill(run, runEnd, goal);
            run = runEnd;
        }
        return true;
    }

    // A step read and coded towards `goal`, not yet written.
    struct Held {
        unsigned char* data = nullptr;
        Span step{0, 0};
        Sector goal = Sector::Damaged;
    };
    // A flush asked for once a step was written: when it is done, so is what was written.
    struct InFlight {
        std::uint64_t ticket;
        Span written;
        bool forward;
    };

    InPlaceFile target_;
    CoderValue value_;
    Journal& journal_;
    JournalRecord record_;
    std::vector<Sector> sectors_;
    KeystreamAt keystream_;
    std::uint64_t position_ = 0;
    FlushBehind flushes_;
    std::vector<InFlight> inFlight_;  // oldest first
    static constexpr Span Nothing{UINT64_MAX, 0};
    Span unflushed_ = Nothing;  // written since the last flush was asked for
    Held held_;
    JobFile reader_;  // the file opened again, for the record made beside the job
    std::vector<unsigned char> readerBuffer_;
    NextRecord ahead_{};  // the record made beside the job
    bool writeFoundAgain_ = false;
    WorkBeside beside_;  // last: ended first, after the work under way
};

// What a failure was: a file whose size is no longer the one taken at the start was changed
// by another program, whatever call noticed it.
CodingFailure FailureSeen(CodingFailure failure, const JournaledFile& target)
{
    const std::optional<std::uint64_t> size = target.file.Size();
    return size && *size != target.size ? CodingFailure::Changed : failure;
}

// After a failure, what was coded is restored, the sectors told apart first (a failed write
// may have reached part of them). A file that can't be restored keeps its journal, which the
// next run finds, and is remembered for this session too.
void UndoAfterFailure(Rewrite& rewrite, Journal& journal, const JournaledFile& target, CodingFailure failure,
                      CodingView& view)
{
    failure = FailureSeen(failure, target);
    // Damaged sectors are never written, so they are known before the move.
    if (rewrite.Classify() && !rewrite.HasDamage() && rewrite.Move(Sector::Original, nullptr) == MoveEnd::Complete) {
        RemoveJournal(target, journal, view);
        view.ReportCantCode(failure, target.path, std::nullopt);
        return;
    }
    const CodedRange left{0, rewrite.CodedBytes(), target.size};
    RememberPartlyCoded(target.path, left);
    view.ReportCantCode(failure, target.path, left);
}

// A move that ended complete, checked against the file: one that another program grew
// meanwhile has a part the move never saw.
MoveEnd Checked(MoveEnd end, const JournaledFile& target)
{
    const std::optional<std::uint64_t> size = target.file.Size();
    return end == MoveEnd::Complete && size != target.size ? MoveEnd::Changed : end;
}

// The journal found for the file tells of an earlier coding cut short: checks it against the
// value, asks the view, and finishes, restores or leaves the file. True when the file ends
// whole as asked.
bool Repair(const JournaledFile& target, std::string_view name, CoderValue value, Journal& journal, CodingView& view)
{
    Rewrite rewrite({target.file, target.size, target.path, name}, value, journal);
    rewrite.Start(Sector::Damaged);
    if (!rewrite.Classify()) {
        view.ReportCantCode(FailureSeen(CodingFailure::Read, target), target.path, std::nullopt);
        return false;
    }
    if (!rewrite.ValueFits()) {
        view.ReportWrongValue(target.path, journal.Path());
        return false;
    }
    InterruptedFile found = rewrite.Describe();
    const RepairChoice choice = view.ChooseRepair(target.path, found);
    if (choice == RepairChoice::Leave)
        return false;
    ForgetPartlyCoded(target.path);
    rewrite.WriteFoundAgain();

    view.ProgressBegun(static_cast<std::int64_t>(target.size / BlockBytes));
    const MoveEnd end = Checked(rewrite.Move(choice == RepairChoice::Finish ? Sector::Coded : Sector::Original, &view), target);
    view.ProgressEnded();
    if (end == MoveEnd::Closing)  // the journal tells the next run where this one stopped
        return false;
    if (end != MoveEnd::Complete) {
        view.ReportCantCode(FailureSeen(FailureOf(end), target), target.path,
                            CodedRange{0, rewrite.CodedBytes(), target.size});
        return false;
    }
    if (!RemoveJournal(target, journal, view))
        return false;
    // The damaged sectors, never written, are the ones found before the move.
    if (!found.damaged.empty()) {
        std::uint64_t damagedBytes = 0;
        for (const CodedRange& range : found.damaged)
            damagedBytes += range.to - range.from;
        found.codedBytes = choice == RepairChoice::Finish ? target.size - damagedBytes : 0;
        view.ReportDamaged(target.path, found);
        return false;
    }
    return true;
}

// Codes the file under a journal made afresh: the first step's checksums taken, the journal
// made, then the whole file coded. A failure undoes what was coded; an exit request finishes
// or undoes, whichever writes less.
bool CodeUnderNewJournal(const JournaledFile& target, std::string_view name, CoderValue value, Journal& journal,
                         CodingView& view)
{
    Rewrite rewrite({target.file, target.size, target.path, name}, value, journal);
    // A file smaller than a step is one step, and its journal no larger than it needs.
    const std::uint64_t region = std::min(JournalRegionBytes, StepsPerRegion * SectorsIn(target.size) * SectorBytes);
    JournalRecord first{0, 0, std::min(StepBytes(region), target.size), {}};
    if (!rewrite.Take({first.done, first.regionEnd}, Sector::Coded, first.sums)) {
        view.ReportCantCode(FailureSeen(CodingFailure::Read, target), target.path, std::nullopt);
        return false;
    }
    switch (MakeJournal(target, region, first, journal, view)) {
    case Lookup::None:
        break;
    case Lookup::Found:  // an earlier coding cut short, found where this one's journal goes
        return Repair(target, name, value, journal, view);
    case Lookup::Refused:
        return false;
    }
    rewrite.Start(Sector::Original);

    view.ProgressBegun(static_cast<std::int64_t>(target.size / BlockBytes));
    MoveEnd end = Checked(rewrite.Move(Sector::Coded, &view), target);
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
    if (!RemoveJournal(target, journal, view))
        return false;
    return !undone;
}

} // namespace

// The journal is looked for through the file's mark and the name given; beside the resolved
// path, where it is most often, it is found by making this coding's own, which fails there.
// Under Wine every look for a name that is not there reads the whole folder, which in a folder
// of small files costs more than coding one. An empty file changes under no coding, so its
// journal, if any, is looked for at once.
bool CodeInPlaceJournaled(InPlaceFile target, CoderValue value, CodingView& view)
{
    JournaledFile file{target.file, target.path, target.size, {}, {}};
    if (!Identify(file, view))
        return false;
    Journal journal;
    const bool lookEverywhere = target.size == 0 || view.RestoresOnly();
    switch (FindJournal(file, lookEverywhere, journal, view)) {
    case Lookup::Found:
        return Repair(file, target.name, value, journal, view);
    case Lookup::Refused:
        return false;
    case Lookup::None:
        break;
    }
    if (view.RestoresOnly()) {
        view.ReportNothingToRestore(target.path);
        return false;
    }
    return target.size == 0 || CodeUnderNewJournal(file, target.name, value, journal, view);
}

Lookup LookForInterruptedCoding(InPlaceFile target, CodingView& view)
{
    JournaledFile file{target.file, target.path, target.size, {}, {}};
    if (!Identify(file, view))
        return Lookup::Refused;
    Journal journal;
    return FindJournal(file, true, journal, view);
}

bool RepairInPlace(InPlaceFile target, CoderValue value, CodingView& view)
{
    JournaledFile file{target.file, target.path, target.size, {}, {}};
    if (!Identify(file, view))
        return false;
    Journal journal;
    switch (FindJournal(file, true, journal, view)) {
    case Lookup::Found:
        return Repair(file, target.name, value, journal, view);
    case Lookup::Refused:
        return false;
    case Lookup::None:  // gone since it was found
        break;
    }
    view.ReportCantOpen(target.path);
    return false;
}
