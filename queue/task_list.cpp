#include "queue/task_list.h"

#include "mainwindow/main_form.h"
#include "queue/queued_identities.h"

namespace {

constexpr int PathColumn = 0;
constexpr int MarkColumn = 1;

// Every row operation is a no-op without the window; the list view itself already ignores
// calls once its window is destroyed.
tk::ListView* List()
{
    return TheMainForm ? &TheMainForm->TaskListView : nullptr;
}

// The identities of the rows of the list view that holds them; made afresh (every row to be
// probed when asked about) for another list or should it ever be out of step.
QueuedIdentities& Identities()
{
    static QueuedIdentities identities;
    static HWND heldFor = nullptr;
    const HWND list = List() ? List()->Handle() : nullptr;
    if (list != heldFor || identities.Size() != RowCount()) {
        identities.Clear();
        for (int row = 0; row < RowCount(); ++row)
            identities.AppendUnprobed();
        heldFor = list;
    }
    return identities;
}

// Appends the row; `identity` is the file's, nothing when it could not be probed; without
// `probed` the file is probed when first asked about.
void AppendWithIdentity(std::string_view path, bool probed, const std::optional<FileIdentity>& identity)
{
    if (!List())
        return;
    QueuedIdentities& identities = Identities();
    const int row = List()->AppendRow(path);
    if (row < 0)
        return;
    if (probed)
        identities.Append(identity);
    else
        identities.AppendUnprobed();
    List()->SetCell(row, MarkColumn, ResultMark::Unprocessed);
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
    AppendWithIdentity(path, false, std::nullopt);
}

void AppendRow(std::string_view path, const std::optional<FileIdentity>& identity)
{
    AppendWithIdentity(path, true, identity);
}

void DeleteRow(int row)
{
    if (!List() || row < 0 || row >= RowCount())
        return;
    QueuedIdentities& identities = Identities();
    List()->DeleteRow(row);
    identities.Erase(row);
}

bool QueueHoldsFile(const FileIdentity& file)
{
    return Identities().Holds(file, RowPath);
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

RowBatch::RowBatch()
{
    if (List())
        batch_.emplace(*List());
}

void FitColumns()
{
    if (!TheMainForm)
        return;
    MainForm& f = *TheMainForm;
    f.TaskListView.SetColumnWidth(0, f.TaskListView.ClientWidth() - f.TaskListView.ColumnWidth(1) - f.Window.Scale(2));
    f.TaskListView.HideHorizontalScrollBar();
    f.ProgressBar.SetWidth(f.ControlPanel.ClientWidth() - f.Window.Scale(16));
}
