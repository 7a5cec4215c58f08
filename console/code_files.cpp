#include "console/code_files.h"

#include "console/console_coding_view.h"
#include "console/console_output.h"
#include "console/interrupt.h"
#include "console/read_file_list.h"
#include "engine/file_coding_job.h"
#include "engine/file_identity.h"
#include "engine/job_files.h"
#include "engine/keystream_coder.h"
#include "queue/queue_paths.h"

#include <algorithm>
#include <optional>
#include <string>
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

// The files the arguments name, in order, each as a full path: a list's entries where the
// list stands. Nothing when a list can't be used (the problem is set).
std::optional<std::vector<std::string>> GatherFiles(const std::vector<std::string>& arguments,
                                                    std::string& problem)
{
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        if (!IsListArgument(argument)) {
            files.push_back(FullPathName(argument));
            continue;
        }
        const std::optional<std::vector<std::string>> entries = ReadFileList(argument.substr(1), problem);
        if (!entries)
            return std::nullopt;
        files.insert(files.end(), entries->begin(), entries->end());
    }
    return files;
}

// Each file once: a later name for a file already named (the same text, a link, "." or "..",
// another letter case on Windows) is dropped, as the window drops it from its queue.
std::vector<std::string> OnceEach(const std::vector<std::string>& files, ConsoleCodingView& view, bool quiet)
{
    std::vector<std::string> once;
    std::vector<FileIdentity> seen;
    for (const std::string& path : files) {
        const std::optional<FileIdentity> identity = IdentityOf(path);
        const bool again = identity ? std::any_of(seen.begin(), seen.end(),
                                                  [&](const FileIdentity& known) { return SameFile(known, *identity); })
                                    : std::find(once.begin(), once.end(), path) != once.end();
        if (again) {
            if (!quiet)
                view.Say("vorrinc: " + path + ": named more than once; coded once");
            continue;
        }
        if (identity)
            seen.push_back(*identity);
        once.push_back(path);
    }
    return once;
}

// The destination folder as the job takes it, ending with a separator, with its missing
// levels made. Empty when it can't be made.
std::string PrepareFolder(const std::string& folder)
{
    const std::string complete = CompleteDestination(FullPathName(folder), NativePathSeparator);
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
        view.Say("vorrinc: " + path + ": is a folder");
        return FileOutcome::Failed;
    }
    view.StartFile();
    return view.Outcome(FileCodingJob(path, folder, value, view));
}

// In order, until Ctrl+C: the files not reached then are skipped.
Tally CodeAll(const std::vector<std::string>& files, const std::string& folder, CoderValue value,
              ConsoleCodingView& view)
{
    Tally tally;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (Interrupted()) {
            tally.skipped += files.size() - i;
            break;
        }
        Count(CodeOne(files[i], folder, value, view), tally);
    }
    return tally;
}

} // namespace

int CodeFiles(const CommandLine& line)
{
    std::string problem;
    const std::optional<CoderValue> value = ReadValue(line.value, problem);
    if (!value)
        return RefuseUsage(problem);
    const std::optional<std::vector<std::string>> named = GatherFiles(line.files, problem);
    if (!named)
        return RefuseUsage(problem);

    ConsoleCodingView view(line.overwrite, !line.quiet && ErrorIsTerminal(), line.restore);
    const std::vector<std::string> files = OnceEach(*named, view, line.quiet);
    Tally tally;
    const std::string folder = line.into.empty() ? std::string() : PrepareFolder(line.into);
    if (!line.into.empty() && folder.empty()) {
        view.Say("vorrinc: " + line.into + ": can't make the folder");
        tally.failed = files.size();
    } else {
        tally = CodeAll(files, folder, *value, view);
    }
    FilesAreWhole();
    if (Interrupted())
        view.Say("vorrinc: interrupted; stopped after the current file");
    if (!line.quiet)
        WriteOutput(std::to_string(tally.coded) + " coded, " + std::to_string(tally.failed) + " failed, " +
                    std::to_string(tally.skipped) + " skipped\n");
    return tally.failed + tally.skipped == 0 ? AllCoded : SomeNotCoded;
}
