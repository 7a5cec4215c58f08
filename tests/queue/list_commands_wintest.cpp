#include "queue/list_commands.h"
#include "queue_fixture.h"

#include <commctrl.h>

#include <thread>

using ListCommandsTest = QueueTest;

namespace {

// Rows with made-up paths and the given marks; the commands never look at the files.
void MakeRows(std::initializer_list<const char*> marks)
{
    int i = 0;
    for (const char* mark : marks) {
        AppendRow("C:\\queue\\row" + std::to_string(i));
        SetRowMark(i++, mark);
    }
}

} // namespace

TEST_F(ListCommandsTest, DeleteSelectsTheNextRowOrTheNewLastAndRefusesTheCurrentTask)
{
    MakeRows({"", "Ok", "Err", "", ""});
    SelectRow(1);
    DeleteFromList();
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "Err", "", ""}));
    EXPECT_EQ(SelectedRow(), 1);
    SelectRow(3);
    DeleteFromList();
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(SelectedRow(), 2);

    SetRowMark(2, "...");
    {
        ModalAnswerer answerer("Error", IDOK);
        DeleteFromList();
        EXPECT_TRUE(answerer.Wait());
        EXPECT_EQ(answerer.Text(), "Can't delete current task");
    }
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(SelectedRow(), 2);

    SetRowMark(2, "");
    for (int left = 2; left >= 0; --left) {
        DeleteFromList();
        EXPECT_EQ(RowCount(), left);
        EXPECT_EQ(SelectedRow(), left - 1);
    }
    DeleteFromList(); // nothing selected, nothing to do
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(ListCommandsTest, DeleteProcessedTakesOnlyOkRowsAndClearAllSparesTheCurrentTask)
{
    MakeRows({"Ok", "Ok", "Err", "", "Ok", "...", "Ok"});
    SelectRow(1);
    DeleteProcessed();
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Err", "", "..."}));
    EXPECT_EQ(SelectedRow(), -1);
    ClearAll();
    EXPECT_EQ(Marks(), (std::vector<std::string>{"..."}));
    SetRowMark(0, "Ok");
    ClearAll();
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(ListCommandsTest, ClearingResultsWalksDownAndStartsNothing)
{
    MakeRows({"Ok", "Err", "...", "Ok"});
    SelectRow(0);
    ClearCurrentResult();
    EXPECT_EQ(SelectedRow(), 1);
    ClearCurrentResult();
    ClearCurrentResult();
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "", "", "Ok"}));
    EXPECT_EQ(SelectedRow(), 3);
    ClearCurrentResult(); // the last row: cleared, stays selected
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(SelectedRow(), 3);

    SetRowMark(0, "Ok");
    SetRowMark(1, "...");
    ClearAllResults();
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_FALSE(RunInProgress());
    EXPECT_TRUE(seenCaptions_.empty());
}

TEST_F(ListCommandsTest, ShortcutsActOnlyWhileTheListHasTheFocus)
{
    MainForm& f = Form();
    MakeRows({"Ok", "Err", "Ok", ""});
    SelectRow(0);
    FocusEditWithoutShortcuts(f.DestinationEdit);
    PressKey(VK_SPACE);
    PressKey(VK_DELETE);
    PressKey(VK_DELETE, true);
    PressKey('R', true);
    PressKey('X', true);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Err", "Ok", ""}));

    FocusListWithShortcuts();
    SelectRow(0);
    PressKey(VK_SPACE);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "Err", "Ok", ""}));
    EXPECT_EQ(SelectedRow(), 1);
    PressKey(VK_DELETE);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "Ok", ""}));
    PressKey(VK_DELETE, true);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", ""}));
    SetRowMark(0, "Err");
    PressKey('R', true);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", ""}));
    PressKey('X', true);
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(ListCommandsTest, ProcessUnprocessedReopensFailedRowsAndCodesThem)
{
    MainForm& f = Form();
    const std::string failed = MakeQueuedFile("failed.bin", 100, 1, "Err");
    const std::string done = MakeQueuedFile("done.bin", 100, 2, "Ok");
    f.CoderValueEdit.SetText("31337");
    FocusListWithShortcuts();
    PressKey('U', true);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(failed) == Coded(Pattern(100, 1), 31337));
    EXPECT_TRUE(ReadAll(done) == Pattern(100, 2));
    EXPECT_FALSE(RunInProgress());
}

TEST_F(ListCommandsTest, ShortcutDuringCodingRunsAtTheNextPumpAndClearAllKeepsTheCurrentTask)
{
    MakeQueuedFile("done.bin", 10, 1, "Ok");
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 2);
    const std::string later = MakeQueuedFile("later.bin", 10, 3);
    FocusListWithShortcuts();
    std::vector<std::string> pathsAfterClear;
    AtCaption("0% big.bin", [&] {
        PressKey('X', true);
        pathsAfterClear = Paths();
    });
    StartRun(962);
    EXPECT_EQ(pathsAfterClear, (std::vector<std::string>{big}));
    EXPECT_EQ(Paths(), (std::vector<std::string>{big}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok"}));
    EXPECT_TRUE(ReadAll(later) == Pattern(10, 3));
    EXPECT_TRUE(ReadAll(big) == Coded(Pattern(FiveMiB, 2), 962));
}

TEST_F(ListCommandsTest, MenuFromTheKeyboardOpensBelowTheSelectedRow)
{
    MainForm& f = Form();
    MakeRows({"", "", ""});
    // The menu runs its own modal loop; a helper notes where it appeared and closes it.
    const auto menuCorner = [&](bool selectRow) {
        if (selectRow) {
            SelectRow(1);
        } else {
            LVITEMA clear{};
            clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(f.TaskListView.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(&clear));
        }
        POINT corner{-1, -1};
        std::thread helper([&corner] {
            for (int waited = 0; waited < 5000; waited += 20) {
                const HWND menu = FindWindowA("#32768", nullptr);
                if (menu && IsWindowVisible(menu)) {
                    RECT r{};
                    GetWindowRect(menu, &r);
                    corner = {r.left, r.top};
                    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                    return;
                }
                Sleep(20);
            }
        });
        ShowTaskMenu({-1, -1}, true);
        helper.join();
        return corner;
    };
    const RECT row = f.TaskListView.RowRect(1);
    POINT expected{row.left < 0 ? 0 : row.left, row.bottom};
    ClientToScreen(f.TaskListView.Handle(), &expected);
    const POINT below = menuCorner(true);
    EXPECT_EQ(below.x, expected.x);
    EXPECT_EQ(below.y, expected.y);

    POINT topLeft{0, 0};
    ClientToScreen(f.TaskListView.Handle(), &topLeft);
    const POINT none = menuCorner(false);
    EXPECT_EQ(none.x, topLeft.x);
    EXPECT_EQ(none.y, topLeft.y);
}
