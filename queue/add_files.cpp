#include "queue/add_files.h"

#include "engine/file_identity.h"
#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "queue/processing_run.h"
#include "queue/queue_paths.h"
#include "queue/read_coder_value.h"
#include "queue/task_list.h"

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

// A folder is not a file to code.
bool NamesExistingFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The files the queue holds, by identity, so a file queued under another spelling (".\",
// "sub\..\", a short name, a hard link, other letter case) is found too. The rows are probed
// only once a path needs it: most inputs are new text to the list, and probing costs.
class QueuedFiles {
public:
    bool Holds(const FileIdentity& file)
    {
        if (!probed_) {
            for (int row = 0; row < RowCount(); ++row)
                Add(IdentityOf(RowPath(row)));
            probed_ = true;
        }
        for (const FileIdentity& queued : files_) {
            if (SameFile(queued, file))
                return true;
        }
        return false;
    }

    void Add(std::optional<FileIdentity> file)
    {
        if (file)
            files_.push_back(std::move(*file));
    }

private:
    bool probed_ = false;
    std::vector<FileIdentity> files_;
};

// A relative path means the current folder now; later dialogs may move that folder.
std::string FullEntry(const std::string& entry)
{
    return entry.empty() || !IsRelativePath(entry) ? entry : FullPathName(entry);
}

} // namespace

void AddFiles(const StringList& paths, CoderValue value)
{
    bool added = false;
    QueuedFiles queued;
    std::vector<std::string> missing;
    std::size_t missingCount = 0;
    for (const std::string& entry : paths) {
        const std::string path = FullEntry(entry);
        // Tested against the list as it grows, so an entry repeated in the input is added once.
        if (FindRow(path) >= 0)
            continue;
        if (!NamesExistingFile(path)) {
            if (missing.size() < MissingNamesShown)
                missing.push_back(path);
            ++missingCount;
            continue;
        }
        std::optional<FileIdentity> identity = IdentityOf(path);
        if (identity && queued.Holds(*identity))
            continue;
        AppendRow(path);
        queued.Add(std::move(identity));
        added = true;
    }
    FitColumns();
    // One box for the whole command: a list of thousands of missing names once showed a box
    // for each, and the window could not be closed before the last.
    if (missingCount > 0)
        ShowMessage(MissingFilesReport(missing, missingCount), "Error", MB_OK | MB_ICONERROR);
    if (!added)
        return;
    // Never a second run: the one under way looks at the list once more instead.
    if (RunInProgress())
        RescanRequested = true;
    else
        StartRun(value);
}

void AddFilesCommand()
{
    if (!TheMainForm)
        return;
    // Read before the dialog: the value that counts is the one the edit held when asked.
    const std::optional<CoderValue> value = ReadCoderValue();
    if (!value || !TheMainForm)
        return;
    OpenSaveDialog& dialog = TheMainForm->AddFilesDialog;
    if (!dialog.Execute())
        return;
    const StringList paths = SelectionToPaths(dialog.FileName);
    AddFiles(paths, *value);
}
