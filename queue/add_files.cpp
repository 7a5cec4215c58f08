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

// A relative path means the current folder now; later dialogs may move that folder.
std::string FullEntry(const std::string& entry)
{
    return entry.empty() || !IsRelativePath(entry) ? entry : FullPathName(entry);
}

} // namespace

void AddFiles(const StringList& paths, CoderValue value)
{
    bool added = false;
    IdentityProbe probe;
    std::vector<std::string> missing;
    std::size_t missingCount = 0;
    {
        const RowBatch batch;
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
            // A file queued under another spelling (".\", "sub\..\", a short name, a hard
            // link, other letter case) is skipped like a repeated text.
            const std::optional<FileIdentity> identity = probe.Of(path);
            if (identity && QueueHoldsFile(*identity))
                continue;
            AppendRow(path, identity);
            added = true;
        }
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
