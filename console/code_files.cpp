#include "console/code_files.h"

#include "console/code_stream.h"
#include "console/console_coding_view.h"
#include "console/console_output.h"
#include "console/folder_walk.h"
#include "console/gather_files.h"
#include "console/interrupt.h"
#include "engine/file_coding_job.h"
#include "engine/file_identity.h"
#include "engine/job_files.h"
#include "engine/keystream_coder.h"
#include "queue/queue_paths.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

int RefuseUsage(const std::string& problem)
{
    WriteError("vorrinc: " + problem + "\nTry 'vorrinc --help'.\n");
    return UsageError;
}

// The value as the window reads it: the same rule, the same refusals.
std::optional<CoderValue> ReadValue(const std::string& text, std::string& problem)
{
    const ParsedCoderValue parsed = ParseCoderValue(text);
    if (!parsed.fault)
        return parsed.value;
    problem = (*parsed.fault == CoderValueFault::LeavesDataUnchanged ? "coder value leaves files unchanged: "
                                                                      : "invalid coder value: ") + text;
    return std::nullopt;
}

// Identities seen so far, by the rule of SameFile: numbers decide between two files that have
// them, full names otherwise. Sets keep a tree of many thousand files quick.
class SeenFiles {
public:
    // False when the file was seen before; else it is now.
    bool Note(const FileIdentity& identity)
    {
        const bool numbered = HasNumbers(identity);
        const bool again = unnumberedNames_.contains(identity.name) ||
                           (numbered ? numbers_.contains({identity.volume, identity.index})
                                     : allNames_.contains(identity.name));
        if (again)
            return false;
        if (numbered)
            numbers_.insert({identity.volume, identity.index});
        else
            unnumberedNames_.insert(identity.name);
        allNames_.insert(identity.name);
        return true;
    }

private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> numbers_;
    std::set<std::wstring> unnumberedNames_;
    std::set<std::wstring> allNames_;
};

// Each file once: a later name for a file already named (the same text, a link, "." or "..",
// another letter case on Windows, a folder named twice) is dropped, as the window drops it
// from its queue.
std::vector<FileToCode> OnceEach(const std::vector<FileToCode>& files, ConsoleCodingView& view, bool quiet)
{
    std::vector<FileToCode> once;
    SeenFiles seen;
    std::set<std::string> unknown;  // paths that name nothing (yet): by their text
    for (const FileToCode& file : files) {
        const std::optional<FileIdentity> identity = IdentityOf(file.path);
        const bool first = identity ? seen.Note(*identity) : unknown.insert(file.path).second;
        if (!first) {
            if (!quiet)
                view.Say("vorrinc: " + file.path + ": named more than once; coded once");
            continue;
        }
        once.push_back(file);
    }
    return once;
}

// The destination folder as the job takes it, ending with a separator, with its missing
// levels made. Empty when it can't be made.
std::string PrepareFolder(const std::string& folder)
{
    const std::string complete = CompleteDestination(folder, NativePathSeparator);
    for (const std::string& level : DestinationLevels(complete, NativePathSeparator))
        if (!IsFolder(level))
            CreateFolder(level);
    return IsFolder(complete) ? complete : std::string();
}

struct Tally {
    std::size_t coded = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;
};

void Count(FileOutcome outcome, Tally& tally)
{
    switch (outcome) {
    case FileOutcome::Coded:
        ++tally.coded;
        break;
    case FileOutcome::Failed:
        ++tally.failed;
        break;
    case FileOutcome::Skipped:
        ++tally.skipped;
        break;
    }
}

// One file: what is not a file fails before the job is asked.
FileOutcome CodeOne(const std::string& path, const std::string& folder, CoderValue value, ConsoleCodingView& view)
{
    if (!PathExists(path)) {
        view.Say("vorrinc: " + path + ": no such file");
        return FileOutcome::Failed;
    }
    if (IsFolder(path)) {
        view.Say("vorrinc: " + path + ": is a folder (--recursive codes the files under it)");
        return FileOutcome::Failed;
    }
    view.StartFile();
    return view.Outcome(FileCodingJob(path, folder, value, view));
}

// The destination folders of the files, made level by level as the files come: a tree's
// files come folder by folder, so the last one made is asked for again and again.
class Destinations {
public:
    explicit Destinations(std::string base) : base_(std::move(base)) {}

    // The folder the job takes for this file, ending with a separator; empty in place.
    // Nothing when it can't be made, or when a level below the folder named is a link.
    std::optional<std::string> For(const FileToCode& file, ConsoleCodingView& view)
    {
        if (base_.empty())
            return std::string();
        const std::string wanted = base_ + file.subfolder;
        if (wanted != wanted_) {
            wanted_ = wanted;
            const std::string link = LinkBelowBase(wanted);
            if (!link.empty())
                view.Say("vorrinc: " + link + ": a symbolic link; its tree's copies are not written through it");
            made_ = link.empty() ? PrepareFolder(wanted) : std::string();
        }
        if (made_.empty())
            return std::nullopt;
        return made_;
    }

private:
    // A tree's copies go only into folders of their own: a link where one of them is expected
    // (put in a shared folder by someone else) could lead them onto the user's own files.
    std::string LinkBelowBase(const std::string& wanted) const
    {
        for (const std::string& level : DestinationLevels(wanted, NativePathSeparator)) {
            const std::string folder = level.substr(0, level.size() - 1);  // a final separator follows a link
            if (level.size() > base_.size() && IsLink(folder))
                return folder;
        }
        return {};
    }

    std::string base_;    // the destination named with --into, ending with a separator
    std::string wanted_;  // the last folder asked for, and what was made of it
    std::string made_;
};

// In order, until Ctrl+C: the files not reached then are skipped.
void CodeAll(const std::vector<FileToCode>& files, Destinations& destinations, CoderValue value,
             ConsoleCodingView& view, Tally& tally)
{
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (Interrupted()) {
            tally.skipped += files.size() - i;
            break;
        }
        const std::optional<std::string> folder = destinations.For(files[i], view);
        if (!folder) {
            view.Say("vorrinc: " + files[i].path + ": can't make its destination folder");
            ++tally.failed;
            continue;
        }
        Count(CodeOne(files[i].path, *folder, value, view), tally);
    }
}

bool NamesStream(const CommandLine& line)
{
    return std::find(line.files.begin(), line.files.end(), "-") != line.files.end();
}

} // namespace

int CodeFiles(const CommandLine& line)
{
    std::string problem;
    const std::optional<CoderValue> value = ReadValue(line.value, problem);
    if (!value)
        return RefuseUsage(problem);
    if (NamesStream(line)) {
        if (line.files.size() != 1 || !line.into.empty())
            return RefuseUsage("\"-\" (standard input to standard output) goes alone: no --into, no other file");
        const int status = CodeStream(*value);
        FilesAreWhole();
        return status;
    }
    const std::optional<GatheredFiles> gathered = GatherFiles(line, problem);
    if (!gathered && Interrupted()) {
        // Stopped while a list was awaited: nothing was touched, and the command line was fine.
        WriteError("vorrinc: " + problem + "\n");
        return SomeNotCoded;
    }
    if (!gathered)
        return RefuseUsage(problem);

    ConsoleCodingView view(line.overwrite, !line.quiet && ErrorIsTerminal(), line.restore, !line.into.empty());
    const std::vector<FileToCode> files = OnceEach(gathered->files, view, line.quiet);
    Tally tally{0, gathered->failed, gathered->skipped};
    const std::string base = line.into.empty() ? std::string() : PrepareFolder(FullPathName(line.into));
    if (!line.into.empty() && base.empty()) {
        view.Say("vorrinc: " + line.into + ": can't make the folder");
        tally.failed += files.size();
    } else {
        Destinations destinations(base);
        CodeAll(files, destinations, *value, view, tally);
    }
    FilesAreWhole();
    if (Interrupted())
        view.Say("vorrinc: interrupted; stopped after the current file");
    if (!line.quiet)
        WriteOutput(std::to_string(tally.coded) + " coded, " + std::to_string(tally.failed) + " failed, " +
                    std::to_string(tally.skipped) + " skipped\n");
    return tally.failed + tally.skipped == 0 ? AllCoded : SomeNotCoded;
}
