#include "support/window_fixture.h"
#include "toolkit/popup_menu.h"

using MainFormTest = WindowTest;

TEST_F(MainFormTest, StartStateOfEveryMember)
{
    MainForm& f = Form();
    EXPECT_EQ(f.Window.Text(), "Vorrin");
    EXPECT_TRUE(f.Window.IsVisible());
    EXPECT_TRUE(GetWindowLongA(f.Window.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(f.TaskListView.RowCount(), 0);
    EXPECT_EQ(f.TaskListView.SelectedRow(), -1);
    EXPECT_TRUE(f.TaskListView.IsVisible());
    EXPECT_FALSE(f.ProgressBar.IsVisible());
    EXPECT_TRUE(f.CoderValueEdit.IsVisible());
    EXPECT_TRUE(f.CoderValueEdit.IsEnabled());
    EXPECT_EQ(f.CoderValueEdit.Text(), "962");
    EXPECT_TRUE(f.CoderValueEdit.HasFocus());
    EXPECT_FALSE(f.ExitOnDoneCheck.IsVisible());
    EXPECT_FALSE(f.ExitOnDoneCheck.IsChecked());
    EXPECT_EQ(f.ExitOnDoneCheck.Text(), "Exit on Done");
    EXPECT_TRUE(f.AddButton.IsEnabled());
    EXPECT_EQ(f.AddButton.ImageIndex(), 0);
    EXPECT_FALSE(f.PauseButton.IsEnabled());
    EXPECT_FALSE(f.PauseButton.IsChecked());
    EXPECT_EQ(f.PauseButton.ImageIndex(), 2);
    EXPECT_FALSE(f.StopButton.IsEnabled());
    EXPECT_EQ(f.StopButton.ImageIndex(), 4);
    EXPECT_TRUE(f.DestinationEdit.IsVisible());
    EXPECT_EQ(f.DestinationEdit.Text(), "");
    EXPECT_TRUE(f.BrowseButton.IsVisible());
    EXPECT_EQ(f.BrowseButton.ImageIndex(), 5);
    EXPECT_EQ(f.ButtonImages.Count(), 6);
    EXPECT_EQ(f.AddFilesDialog.Title.value_or(""), "Select file(s) to simple coding...");
    EXPECT_FALSE(f.AddFilesDialog.InitialFolder.value_or("").empty());
    EXPECT_EQ(f.FileListDialog.InitialFolder, f.AddFilesDialog.InitialFolder);
    EXPECT_EQ(f.FileListDialog.Filter.value_or(""), "FileList Files (*.flt)|*.flt|All Files (*.*)|*.*");
}

TEST_F(MainFormTest, GeometryAtStartAndAfterResizing)
{
    MainForm& f = Form();
    const HWND w = f.Window.Handle();
    RECT wr{};
    GetWindowRect(w, &wr);
    EXPECT_EQ(wr.left, 182);
    EXPECT_EQ(wr.top, 222);
    EXPECT_EQ(f.Window.ClientWidth(), 197);
    EXPECT_EQ(f.Window.ClientHeight(), 101);
    ExpectPlacement(f.ControlPanel, w, 0, 0, 197, 58);
    ExpectPlacement(f.TaskListView, w, 0, 58, 197, 43);
    const HWND p = f.ControlPanel.Handle();
    ExpectPlacement(f.CoderValueEdit, p, 8, 5, 81, 21);
    ExpectPlacement(f.ExitOnDoneCheck, p, 8, 7, 81, 17);
    ExpectPlacement(f.AddButton, p, 98, 1, 30, 30);
    ExpectPlacement(f.PauseButton, p, 129, 1, 30, 30);
    ExpectPlacement(f.StopButton, p, 160, 1, 30, 30);
    ExpectPlacement(f.DestinationEdit, p, 8, 32, 145, 22);
    ExpectPlacement(f.BrowseButton, p, 158, 32, 33, 22);

    // The smallest window the frame allows keeps the panel whole and the list below it.
    SetWindowPos(w, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    GetWindowRect(w, &wr);
    EXPECT_EQ(wr.right - wr.left, 200);
    EXPECT_EQ(wr.bottom - wr.top, 115);
    ExpectPlacement(f.ControlPanel, w, 0, 0, f.Window.ClientWidth(), 58);
    ExpectPlacement(f.TaskListView, w, 0, 58, f.Window.ClientWidth(), f.Window.ClientHeight() - 58);

    SetWindowPos(w, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ExpectPlacement(f.TaskListView, w, 0, 58, f.Window.ClientWidth(), f.Window.ClientHeight() - 58);
    ExpectPlacement(f.DestinationEdit, p, 8, 32, 145, 22);
    ExpectPlacement(f.AddButton, p, 98, 1, 30, 30);
}

TEST_F(MainFormTest, ShortcutTableHoldsTheNineKeysAndStartsPutAside)
{
    MainForm& f = Form();
    EXPECT_EQ(f.Window.Accelerators(), nullptr);
    ASSERT_TRUE(SavedAccelerators);
    ACCEL entries[16] = {};
    const int n = CopyAcceleratorTableA(SavedAccelerators.get(), entries, 16);
    ASSERT_EQ(n, 9);
    const auto& items = f.TaskMenu.Items();
    ASSERT_EQ(items.size(), 12u);
    const struct {
        int item;
        BYTE flags;
        WORD key;
    } expected[] = {{0, FVIRTKEY, VK_DELETE}, {1, FVIRTKEY | FCONTROL, VK_DELETE}, {2, FVIRTKEY | FCONTROL, 'X'},
                    {4, FVIRTKEY | FCONTROL, 'U'}, {6, FVIRTKEY, VK_SPACE}, {7, FVIRTKEY | FCONTROL, 'R'},
                    {9, FVIRTKEY | FCONTROL, 'O'}, {10, FVIRTKEY | FCONTROL, 'M'}, {11, FVIRTKEY | FCONTROL, 'S'}};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].flags) << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, items[static_cast<std::size_t>(expected[i].item)].id) << i;
    }
    // Identifiers are handed out in order of making, from 4096, separators included.
    for (std::size_t i = 1; i < items.size(); ++i)
        EXPECT_EQ(items[i].id, items[0].id + i);
    EXPECT_GE(items[0].id, tk::FirstCommandId);
    EXPECT_EQ(items[3].text, "-");
    EXPECT_EQ(items[6].text, "Clear Current Result\tSpace");
}

TEST_F(MainFormTest, TabVisitsTheTabStopsInCreationOrder)
{
    MainForm& f = Form();
    ASSERT_TRUE(f.CoderValueEdit.HasFocus());
    PressKey(VK_TAB);
    EXPECT_TRUE(f.AddButton.HasFocus());
    PressKey(VK_TAB);
    EXPECT_TRUE(f.DestinationEdit.HasFocus());
    PressKey(VK_TAB);
    EXPECT_TRUE(f.BrowseButton.HasFocus());
    PressKey(VK_TAB);
    EXPECT_TRUE(f.TaskListView.HasFocus());
    PressKey(VK_TAB);
    EXPECT_TRUE(f.CoderValueEdit.HasFocus());
    PressKey(VK_TAB, false, true);
    EXPECT_TRUE(f.TaskListView.HasFocus());
    // Enabled buttons join the round.
    f.PauseButton.SetEnabled(true);
    f.CoderValueEdit.Focus();
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    EXPECT_TRUE(f.PauseButton.HasFocus());
}
