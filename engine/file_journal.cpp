#include "engine/file_journal.h"

#include "engine/file_identity.h"

#include <optional>

namespace {

// Whether the file carries a mark naming its journal: every file where marks cost little, and
// one of several names everywhere.
bool TakesMark(const JournaledFile& target)
{
    return MarkEveryFile || target.identity.links > 1;
}

// Every way to the journal but the one beside the resolved path: the mark on the file, and
// the name given, where a journal made before journals followed links may lie.
std::vector<std::string> OtherPlaces(const JournaledFile& target)
{
    std::vector<std::string> places;
    if (TakesMark(target)) {
        if (std::optional<std::string> marked = ReadJournalMark(target.file, target.resolved))
            places.push_back(std::move(*marked));
    }
    const std::string given = JournalPath(FullPathName(target.path));
    if (given != JournalPath(target.resolved))
        places.push_back(given);
    return places;
}

JournalProblem ProblemOf(JournalFound found)
{
    return found == JournalFound::OtherFile ? JournalProblem::OtherFile
           : found == JournalFound::NotTrusted ? JournalProblem::NotTrusted
                                               : JournalProblem::Damaged;
}

// The journal at `path`: Found, None when there is none, Refused (reported) when it is not to
// be used.
Lookup OpenAt(const std::string& path, const JournaledFile& target, Journal& journal, CodingView& view)
{
    const JournalFound found = journal.Open(path, target.identity, target.size);
    if (found == JournalFound::Valid)
        return Lookup::Found;
    if (found == JournalFound::Missing)
        return Lookup::None;
    view.ReportJournalTrouble(target.path, {ProblemOf(found), path, journal.Owner()});
    return Lookup::Refused;
}

} // namespace

bool Identify(JournaledFile& target, CodingView& view)
{
    target.resolved = ResolvedPath(target.file, target.path);
    const std::optional<OpenFileIdentity> identity =
        target.resolved.empty() ? std::nullopt : IdentityAt(target.file, target.resolved);
    if (!identity) {
        view.ReportCantOpen(target.path);
        return false;
    }
    target.identity = *identity;
    return true;
}

Lookup FindJournal(const JournaledFile& target, bool besideResolved, Journal& journal, CodingView& view)
{
    std::vector<std::string> places = OtherPlaces(target);
    if (besideResolved)
        places.insert(places.begin(), JournalPath(target.resolved));
    for (const std::string& place : places) {
        const Lookup found = OpenAt(place, target, journal, view);
        if (found != Lookup::None)
            return found;
    }
    return Lookup::None;
}

// The order keeps every crash safe. Until the journal has its name, the file has not changed,
// and a run that finds none codes it afresh, rightly; the temporary one is removed then. The
// mark is durable before the name, so a journal under its name is always marked: no other name
// of the file can miss it. A mark without a journal names nothing and is passed over.
Lookup MakeJournal(const JournaledFile& target, std::uint64_t regionBytes, JournalRecord& first, Journal& journal,
                   CodingView& view)
{
    const std::string path = JournalPath(target.resolved);
    if (!journal.Prepare(TemporaryJournalPath(target.resolved), target.file, target.size, first.sums.front(),
                         regionBytes, target.identity, first)) {
        view.ReportCantCode(CodingFailure::Write, path, std::nullopt);
        return Lookup::Refused;
    }
    const bool marked = TakesMark(target) && MarkJournal(target.file, target.resolved, path);
    // Unmarked, a file of several names is not coded: but an interrupted coding found by this
    // name is still repaired.
    if (!marked && target.identity.links > 1) {
        journal.Remove();
        if (const Lookup found = OpenAt(path, target, journal, view); found != Lookup::None)
            return found;
        view.ReportJournalTrouble(target.path, {JournalProblem::CantMark, path});
        return Lookup::Refused;
    }
    switch (journal.Publish(path)) {
    case Renamed::Done:
        return Lookup::None;
    case Renamed::Exists:
        if (const Lookup found = OpenAt(path, target, journal, view); found != Lookup::None)
            return found;
        break;  // gone again meanwhile
    case Renamed::Failed:
        break;
    }
    if (marked)
        UnmarkJournal(target.file, target.resolved);
    view.ReportCantCode(CodingFailure::Write, path, std::nullopt);
    return Lookup::Refused;
}

bool RemoveJournal(const JournaledFile& target, Journal& journal, CodingView& view)
{
    if (!journal.Remove()) {
        view.ReportCantCode(CodingFailure::Write, journal.Path(), std::nullopt);
        return false;
    }
    if (TakesMark(target))
        UnmarkJournal(target.file, target.resolved);
    return true;
}
