#include "engine/in_place_coding.h"

#include "engine/file_journal.h"
#include "engine/journal.h"
#include "engine/partly_coded_files.h"
#include "engine/rewrite.h"

std::uint64_t JournalRegionBytes = std::uint64_t{256} << 20;

namespace {

CodingFailure FailureOf(MoveEnd end)
{
    return end == MoveEnd::ReadFailed ? CodingFailure::Read
           : end == MoveEnd::Changed  ? CodingFailure::Changed
                                      : CodingFailure::Write;
}

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

// The damaged sectors, never written, are the ones found before the move; the rest is as
// chosen.
void ReportDamaged(const JournaledFile& target, RepairChoice choice, InterruptedFile& found, CodingView& view)
{
    std::uint64_t damagedBytes = 0;
    for (const CodedRange& range : found.damaged)
        damagedBytes += range.to - range.from;
    found.codedBytes = choice == RepairChoice::Finish ? target.size - damagedBytes : 0;
    view.ReportDamaged(target.path, found);
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
    if (found.damaged.empty())
        return true;
    ReportDamaged(target, choice, found, view);
    return false;
}

// Codes the file under a journal made afresh: the first step's checksums taken, the journal
// made, then the whole file coded. A failure undoes what was coded; an exit request finishes
// or undoes, whichever writes less.
bool CodeUnderNewJournal(const JournaledFile& target, std::string_view name, CoderValue value, Journal& journal,
                         CodingView& view)
{
    Rewrite rewrite({target.file, target.size, target.path, name}, value, journal);
    // A file smaller than a step is one step, and its journal no larger than it needs.
    const std::uint64_t region = RegionBytesFor(target.size, JournalRegionBytes);
    const Span step = FirstRegion(target.size, region);
    JournalRecord first{0, step.from, step.to, {}};
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
