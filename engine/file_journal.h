#pragma once
// The journal that belongs to a file coded in place, not to one of its names: it lies beside
// the file's resolved path (links, linked folders and other spellings followed), and a mark on
// the file itself names it, so that a hard link or a name given since finds it too. A file
// system that keeps no marks still has the resolved path; a file of several names is coded in
// place there only when it can be marked, so no name of it can miss its journal.
#include "engine/coding_view.h"
#include "engine/journal.h"

#include <string>

// A file opened to be coded in place, and what tells it apart whatever name reached it.
struct JournaledFile {
    JobFile& file;
    const std::string& path;  // the name given
    std::uint64_t size;
    OpenFileIdentity identity;
    std::string resolved;     // the path the system resolves it to
};

// The file's identity and resolved path; false (reported) when the system can't tell them.
bool Identify(JournaledFile& target, CodingView& view);

enum class Lookup { None, Found, Refused };
// An interrupted coding's journal, through the mark on the file and the name given (and,
// `besideResolved`, beside the resolved path, which making a journal otherwise finds).
// Found: `journal` is open and belongs to the file. Refused: a journal that must not be used
// was found, and the view told why; the file is to be left as it is.
Lookup FindJournal(const JournaledFile& target, bool besideResolved, Journal& journal, CodingView& view);

// Makes the journal with its first record before the file changes: written whole under a
// temporary name, the file marked, then given its name. Found: one was already there and
// belongs to the file (opened in `journal`, to be repaired). Refused: reported.
Lookup MakeJournal(const JournaledFile& target, std::uint64_t regionBytes, JournalRecord& first, Journal& journal,
                   CodingView& view);

// The file is whole: its journal and the mark go, the journal first. One that can't be removed
// is reported: the next run would take the file for one cut short.
bool RemoveJournal(const JournaledFile& target, Journal& journal, CodingView& view);
