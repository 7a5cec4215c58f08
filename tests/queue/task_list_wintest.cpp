#include "queue_fixture.h"

#include <commctrl.h>

using TaskListTest = QueueTest;

namespace {

int SelectedCount(const tk::ListView& list)
{
    return static_cast<int>(SendMessageA(list.Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
}

bool HasHorizontalScrollBar(const tk::ListView& list)
{
    return (GetWindowLongA(list.Handle(), GWL_STYLE) & WS_HSCROLL) != 0;
}

} // namespace

TEST_F(TaskListTest, FindRowMatchesWholePathsInAnyLetterCase)
{
    AppendRow("C:\\Data\\File.bin");
    AppendRow("C:\\Data\\File.bin.bak");
    AppendRow("D:\\other\\file.bin");
    EXPECT_EQ(FindRow("c:\\data\\FILE.BIN"), 0);
    EXPECT_EQ(FindRow("C:\\DATA\\file.bin.BAK"), 1);
    EXPECT_EQ(FindRow("d:\\OTHER\\File.Bin"), 2);
    // Neither a beginning nor an ending of a listed path is a match.
    EXPECT_EQ(FindRow("C:\\Data\\File"), -1);
    EXPECT_EQ(FindRow("Data\\File.bin"), -1);
    EXPECT_EQ(FindRow("C:\\Data\\File.bin "), -1);
    EXPECT_EQ(FindRow(""), -1);
}

TEST_F(TaskListTest, RowsKeepPathAndMarkAndMoveUpTogether)
{
    const std::string longPath = "C:\\" + std::string(700, 'x') + "\\end.bin";
    AppendRow("a");
    AppendRow("b");
    AppendRow(longPath);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(RowPath(2), longPath);
    EXPECT_EQ(FindRow(longPath), 2);
    SetRowMark(1, "Ok");
    SetRowMark(2, "Err");
    DeleteRow(0);
    EXPECT_EQ(Paths(), (std::vector<std::string>{"b", longPath}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Err"}));
    EXPECT_EQ(RowPath(1), longPath);
    EXPECT_EQ(RowMark(1), "Err");

    EXPECT_EQ(SelectedRow(), -1);
    SelectRow(1);
    SelectRow(0);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(SelectedCount(Form().TaskListView), 1);
    const LRESULT focusedRow = SendMessageA(Form().TaskListView.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                            LVNI_FOCUSED);
    EXPECT_EQ(focusedRow, 0);
}

TEST_F(TaskListTest, FittingFillsTheWidthWithoutHorizontalScrollBar)
{
    MainForm& f = Form();
    SetWindowPos(f.Window.Handle(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    // The list's resize runs the fitting.
    EXPECT_EQ(f.TaskListView.ColumnWidth(0), f.TaskListView.ClientWidth() - 30 - 2);
    EXPECT_EQ(f.TaskListView.ColumnWidth(1), 30);
    RECT bar{};
    GetWindowRect(f.ProgressBar.Handle(), &bar);
    EXPECT_EQ(bar.right - bar.left, f.ControlPanel.ClientWidth() - 16);

    const int widthWithoutRows = f.TaskListView.ClientWidth();
    for (int i = 0; i < 40; ++i)
        AppendRow("C:\\some\\rather\\long\\path\\to\\a\\file number " + std::to_string(i) + ".bin");
    FitColumns();
    Pump(10);
    // The vertical scroll bar took its share; column 0 gave it up.
    EXPECT_LT(f.TaskListView.ClientWidth(), widthWithoutRows);
    EXPECT_EQ(f.TaskListView.ColumnWidth(0), f.TaskListView.ClientWidth() - 32);
    EXPECT_FALSE(HasHorizontalScrollBar(f.TaskListView));

    SetWindowPos(f.Window.Handle(), nullptr, 0, 0, 700, 300, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(f.TaskListView.ColumnWidth(0), f.TaskListView.ClientWidth() - 32);
    EXPECT_EQ(f.TaskListView.ColumnWidth(1), 30);
    GetWindowRect(f.ProgressBar.Handle(), &bar);
    EXPECT_EQ(bar.right - bar.left, f.ControlPanel.ClientWidth() - 16);
    EXPECT_FALSE(HasHorizontalScrollBar(f.TaskListView));
}
