#include "toolkit/list_view.h"

#include "toolkit/common_controls.h"
#include "toolkit/dpi.h"
#include "toolkit/form.h"
#include "toolkit/process_text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <vector>

namespace tk {

namespace {

std::uint64_t FirstCellKey(std::string_view text)
{
    return KeyOfText(Capitals(text));
}

} // namespace

bool ListView::Create(Control& parent, const Placement& p)
{
    EnsureCommonControls();
    const DWORD style = WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    if (!CreateChild(parent, WC_LISTVIEWA, style, WS_EX_CLIENTEDGE, p))
        return false;
    SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    return true;
}

void ListView::AddColumn(int width, std::string_view header)
{
    if (!hwnd_)
        return;
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = form_ ? form_->Scale(width) : width;
    std::string text(header);
    column.pszText = text.data();
    const auto index = SendMessageA(hwnd_, LVM_GETHEADER, 0, 0)
                           ? Header_GetItemCount(reinterpret_cast<HWND>(SendMessageA(hwnd_, LVM_GETHEADER, 0, 0)))
                           : 0;
    if (SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)) >= 0)
        columnLayout_.push_back(width);
}

void ListView::DpiChanged(int dpi)
{
    for (std::size_t i = 0; i < columnLayout_.size(); ++i)
        SetColumnWidth(static_cast<int>(i), ScaleToDpi(columnLayout_[i], dpi));
}

int ListView::RowCount() const
{
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string ListView::Cell(int row, int column) const
{
    if (!hwnd_ || row < 0 || row >= RowCount())
        return {};
    // Paths have no fixed limit: grow the buffer until the text fits.
    std::vector<char> buffer(512);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto n = static_cast<std::size_t>(
            SendMessageA(hwnd_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (n + 1 < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

void ListView::SetCell(int row, int column, std::string_view text)
{
    if (!hwnd_)
        return;
    std::string copy(text);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    if (SendMessageA(hwnd_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) && column == 0)
        firstCells_.Replace(row, FirstCellKey(text));
}

int ListView::AppendRow(std::string_view firstCell)
{
    if (!hwnd_)
        return -1;
    std::string copy(firstCell);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount();
    item.pszText = copy.data();
    const int row = static_cast<int>(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row >= 0)
        firstCells_.Append(FirstCellKey(firstCell));
    return row;
}

void ListView::DeleteRow(int row)
{
    if (hwnd_ && SendMessageA(hwnd_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0))
        firstCells_.Erase(row);
}

int ListView::SelectedRow() const
{
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) : -1;
}

void ListView::SelectRow(int row)
{
    if (!hwnd_ || row < 0)
        return;
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    LVITEMA set{};
    set.state = LVIS_SELECTED | LVIS_FOCUSED;
    set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&set));
}

int ListView::FindRow(std::string_view text) const
{
    if (!hwnd_)
        return -1;
    const int rows = RowCount();
    if (firstCells_.Size() != rows) {
        firstCells_.Clear();
        for (int row = 0; row < rows; ++row)
            firstCells_.Append(FirstCellKey(Cell(row, 0)));
    }
    const std::wstring capitals = Capitals(text);
    const std::uint64_t key = KeyOfText(capitals);
    for (int row = firstCells_.First(key); row >= 0; row = firstCells_.Next(key, row)) {
        if (Capitals(Cell(row, 0)) == capitals)
            return row;
    }
    return -1;
}

ListView::Batch::Batch(ListView& list) : list_(list)
{
    if (list_.openBatches_++ == 0 && list_.hwnd_)
        SendMessageA(list_.hwnd_, WM_SETREDRAW, FALSE, 0);
}

ListView::Batch::~Batch()
{
    if (--list_.openBatches_ == 0 && list_.hwnd_) {
        SendMessageA(list_.hwnd_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(list_.hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

RECT ListView::RowRect(int row) const
{
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (hwnd_)
        SendMessageA(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return r;
}

int ListView::ColumnWidth(int column) const
{
    return hwnd_ ? static_cast<int>(SendMessageA(hwnd_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0)) : 0;
}

void ListView::SetColumnWidth(int column, int width)
{
    if (hwnd_)
        SendMessageA(hwnd_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

void ListView::HideHorizontalScrollBar()
{
    if (hwnd_)
        ShowScrollBar(hwnd_, SB_HORZ, FALSE);
}

bool ListView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_SIZE && onResize) {
        result = CallOriginal(msg, wParam, lParam);
        onResize();
        return true;
    }
    if (msg == WM_CONTEXTMENU && onContextMenu) {
        // A request from the keyboard carries the point (-1, -1).
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        onContextMenu(at, at.x == -1 && at.y == -1);
        result = 0;
        return true;
    }
    return false;
}

bool ListView::HandleReflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result)
{
    if (msg != WM_NOTIFY)
        return false;
    const auto code = reinterpret_cast<const NMHDR*>(lParam)->code;
    if ((code == NM_DBLCLK || code == NM_RDBLCLK) && onDoubleClick) {
        onDoubleClick();
        result = 0;
        return true;
    }
    return false;
}

} // namespace tk
