#include "queue/list_commands.h"

#include "engine/keystream_coder.h"
#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "queue/processing_run.h"
#include "queue/read_coder_value.h"
#include "queue/task_list.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

void DeleteFromList()
{
    int row = SelectedRow();
    if (row < 0)
        return;
    // The row being coded is protected by its mark alone.
    if (RowMark(row) == ResultMark::Current) {
        ShowMessage("Can't delete current task", "Error", MB_OK | MB_ICONERROR);
        return;
    }
    DeleteRow(row);
    if (row >= RowCount())
        --row;
    SelectRow(row);
    FitColumns();
}

void DeleteProcessed()
{
    for (int i = 0; i < RowCount();) {
        if (RowMark(i) == ResultMark::Ok)
            DeleteRow(i);
        else
            ++i;
    }
    FitColumns();
}

void ClearAll()
{
    for (int i = 0; i < RowCount();) {
        if (RowMark(i) == ResultMark::Current)
            ++i;
        else
            DeleteRow(i);
    }
    FitColumns();
}

void ProcessUnprocessed()
{
    const std::optional<CoderValue> value = ReadCoderValue();
    if (!value)
        return; // the failed files keep their marks
    for (int i = 0; i < RowCount(); ++i) {
        if (RowMark(i) == ResultMark::Err)
            SetRowMark(i, ResultMark::Unprocessed);
    }
    if (RunInProgress())
        RescanRequested = true;
    else
        StartRun(*value);
}

void ClearCurrentResult()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    SetRowMark(row, ResultMark::Unprocessed);
    if (row < RowCount() - 1)
        SelectRow(row + 1);
}

void ClearAllResults()
{
    for (int i = 0; i < RowCount(); ++i)
        SetRowMark(i, ResultMark::Unprocessed);
}

void OpenRowFile()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    const std::string path = RowPath(row);
    ShellExecuteA(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOW);
}

namespace {

// From the keyboard: the selected row's lower-left corner kept within the list's client
// area, or the list's top-left corner; in screen coordinates.
POINT KeyboardMenuPoint(const tk::ListView& list)
{
    POINT at{0, 0};
    const int row = SelectedRow();
    if (row >= 0) {
        const RECT bounds = list.RowRect(row);
        at.x = std::clamp<LONG>(bounds.left, 0, std::max(list.ClientWidth(), 0));
        at.y = std::clamp<LONG>(bounds.bottom, 0, std::max(list.ClientHeight(), 0));
    }
    ClientToScreen(list.Handle(), &at);
    return at;
}

} // namespace

void ShowTaskMenu(POINT screen, bool fromKeyboard)
{
    if (!TheMainForm)
        return;
    const POINT at = fromKeyboard ? KeyboardMenuPoint(TheMainForm->TaskListView) : screen;
    TheMainForm->TaskMenu.ShowAt(at.x, at.y);
}
