#include "filelists/file_list_commands.h"

#include "filelists/file_list_text.h"
#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "queue/add_files.h"
#include "queue/list_commands.h"
#include "queue/read_coder_value.h"
#include "queue/task_list.h"
#include "toolkit/string_list.h"

#include <windows.h>

namespace {

void ShowError(const std::string& text)
{
    ShowMessage(text, "Error", MB_OK | MB_ICONERROR);
}

// The dialog is shared by the three commands, so mode and options are set before every use.
OpenSaveDialog* PrepareFileListDialog(DialogMode mode, DWORD options)
{
    if (!TheMainForm)
        return nullptr;
    OpenSaveDialog& dialog = TheMainForm->FileListDialog;
    dialog.Mode = mode;
    dialog.Options = options;
    return &dialog;
}

} // namespace

void OpenFileList(bool replace)
{
    // Read before the dialog: the value that counts is the one the edit held when asked.
    const std::optional<CoderValue> value = ReadCoderValue();
    if (!value)
        return;
    using namespace FileDialogOption;
    OpenSaveDialog* dialog = PrepareFileListDialog(DialogMode::Open, FileMustExist | PathMustExist | HideReadOnly);
    if (!dialog || !dialog->Execute())
        return;
    LoadFileList(dialog->FileName, replace, *value);
}

void MergeFileList()
{
    OpenFileList(false);
}

void SaveFileList()
{
    using namespace FileDialogOption;
    OpenSaveDialog* dialog = PrepareFileListDialog(DialogMode::Save, HideReadOnly | OverwritePrompt | PathMustExist);
    if (!dialog || !dialog->Execute())
        return;
    SaveFileListTo(dialog->FileName);
}

void LoadFileList(const std::string& path, bool replace, CoderValue value)
{
    // Cleared before reading, so a list that cannot be read still leaves the queue cleared;
    // the task being coded survives ClearAll.
    if (replace)
        ClearAll();
    StringList lines;
    if (!lines.LoadFromFile(path)) {
        ShowError("Can't open file\r" + path);
        return;
    }
    if (PlainlyNotAList(lines)) {
        ShowError("Not a file list\r" + path);
        return;
    }
    AddFiles(ListEntries(lines, path), value);
}

void SaveFileListTo(const std::string& path)
{
    StringList paths;
    for (int row = 0; row < RowCount(); ++row)
        paths.Add(RowPath(row));
    if (!paths.SaveToFile(path))
        ShowError("Can't save file\r" + path);
}
