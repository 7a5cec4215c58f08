#include "queue/task_list.h"

#include "mainwindow/main_form.h"

namespace {

constexpr int PathColumn = 0;
constexpr int MarkColumn = 1;

// Every row operation is a no-op without the window; the list view itself already ignores
// calls once its window is destroyed.
tk::ListView* List()
{
    return TheMainForm ? &TheMainForm->TaskListView : nullptr;
}

} // namespace

int RowCount()
{
    return List() ? List()->RowCount() : 0;
}

std::string RowPath(int row)
{
    return List() ? List()->Cell(row, PathColumn) : std::string();
}

std::string RowMark(int row)
{
    return List() ? List()->Cell(row, MarkColumn) : std::string();
}

void SetRowMark(int row, std::string_view mark)
{
    if (List())
        List()->SetCell(row, MarkColumn, mark);
}

void AppendRow(std::string_view path)
{
    if (!List())
        return;
    const int row = List()->AppendRow(path);
    if (row >= 0)
        List()->SetCell(row, MarkColumn, ResultMark::Unprocessed);
}

void DeleteRow(int row)
{
    if (List())
        List()->DeleteRow(row);
}

int SelectedRow()
{
    return List() ? List()->SelectedRow() : -1;
}

void SelectRow(int row)
{
    if (List())
        List()->SelectRow(row);
}

int FindRow(std::string_view path)
{
    return List() ? List()->FindRow(path) : -1;
}

void FitColumns()
{
    if (!TheMainForm)
        return;
    MainForm& f = *TheMainForm;
    f.TaskListView.SetColumnWidth(0, f.TaskListView.ClientWidth() - f.TaskListView.ColumnWidth(1) - 2);
    f.TaskListView.HideHorizontalScrollBar();
    f.ProgressBar.SetWidth(f.ControlPanel.ClientWidth() - 16);
}
