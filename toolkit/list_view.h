#pragma once
// A report-style list view without column header whose rows are plain text cells.
#include "toolkit/control.h"
#include "toolkit/row_keys.h"

#include <vector>

namespace tk {

class ListView : public Control {
public:
    bool Create(Control& parent, const Placement& p);
    // The width is of the 96-DPI layout; the header is never shown, but assistive technology
    // names the column by it.
    void AddColumn(int width, std::string_view header);

    int RowCount() const;
    std::string Cell(int row, int column) const;
    void SetCell(int row, int column, std::string_view text);
    int AppendRow(std::string_view firstCell);
    void DeleteRow(int row);
    int SelectedRow() const;
    void SelectRow(int row);
    // The first row whose first cell equals the text as a whole, letter case ignored; -1 if none.
    int FindRow(std::string_view text) const;

    // Rows changed in bulk: while a batch is open the list neither redraws nor resizes its
    // scroll bar for each row (under Wine that took tens of milliseconds a row on screen);
    // it shows the rows once the last batch closes.
    class Batch {
    public:
        explicit Batch(ListView& list);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ListView& list_;
    };
    RECT RowRect(int row) const;

    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    void HideHorizontalScrollBar();
    bool IsTabStop() const override { return true; }
    void DpiChanged(int dpi) override;

    std::function<void()> onDoubleClick;
    std::function<void()> onResize;
    std::function<void(POINT screen, bool fromKeyboard)> onContextMenu;

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The first cells' keys, for FindRow; made afresh should they ever be out of step.
    mutable RowKeys firstCells_;
    std::vector<int> columnLayout_; // the columns' widths at 96 DPI
    int openBatches_ = 0;
};

} // namespace tk
