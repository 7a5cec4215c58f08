#include "queue/add_files.h"

#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "mainwindow/read_coder_value.h"
#include "queue/processing_run.h"
#include "queue/queue_paths.h"
#include "queue/task_list.h"

#include <windows.h>

namespace {

// A folder is not a file to code.
bool NamesExistingFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void AddFiles(const StringList& paths, CoderValue value)
{
    bool added = false;
    for (const std::string& entry : paths) {
        // Tested against the list as it grows, so an entry repeated in the input is added once.
        if (FindRow(entry) >= 0)
            continue;
        if (NamesExistingFile(entry)) {
            AppendRow(entry);
            added = true;
        } else {
            ShowMessage("File is not exists\r" + entry, "Error", MB_OK | MB_ICONERROR);
        }
    }
    FitColumns();
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
    const CoderValue value = ReadCoderValue();
    OpenSaveDialog& dialog = TheMainForm->AddFilesDialog;
    if (!dialog.Execute())
        return;
    const StringList paths = SelectionToPaths(dialog.FileName);
    AddFiles(paths, value);
}
