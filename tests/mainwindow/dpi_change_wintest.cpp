// The window moved to a screen of another DPI: everything in it is laid out again at that
// DPI, from the 96-DPI layout each time, so going there and back gives the same window.
#include "support/window_fixture.h"

#include <commctrl.h>

namespace {

int FontHeight(const tk::Control& c)
{
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(c.Handle(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfHeight;
}

int SmallIconSize(HWND w)
{
    ICONINFO info{};
    if (!GetIconInfo(reinterpret_cast<HICON>(SendMessageA(w, WM_GETICON, ICON_SMALL, 0)), &info))
        return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// What the system sends: the new DPI and a rectangle for the window at it, here at its place.
// The frame stays as this test's screen draws it.
void MoveToScreenOfDpi(HWND w, int dpi, int clientWidth, int clientHeight)
{
    RECT at{}, client{};
    GetWindowRect(w, &at);
    GetClientRect(w, &client);
    const int frameWidth = (at.right - at.left) - client.right, frameHeight = (at.bottom - at.top) - client.bottom;
    RECT suggested{at.left, at.top, at.left + clientWidth + frameWidth, at.top + clientHeight + frameHeight};
    SendMessageA(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

} // namespace

using DpiChangeTest = WindowTest;

TEST_F(DpiChangeTest, EverythingFollowsToTwiceTheDpiAndBack)
{
    MainForm& f = Form();
    const HWND w = f.Window.Handle();
    const HWND p = f.ControlPanel.Handle();
    f.ExitOnDoneCheck.Show();
    f.ProgressBar.Show();
    const int smallFont = FontHeight(f.ExitOnDoneCheck);
    // The test's frame stays as thin as at 96 DPI, which the least size at 192 does not allow for.
    f.Window.SetMinTrackSize(0, 0);

    MoveToScreenOfDpi(w, 192, 394, 202);
    Pump();
    EXPECT_EQ(f.Window.Dpi(), 192);
    EXPECT_EQ(f.Window.ClientWidth(), 394);
    EXPECT_EQ(f.Window.ClientHeight(), 202);
    ExpectPlacement(f.ControlPanel, w, 0, 0, 394, 116);
    ExpectPlacement(f.TaskListView, w, 0, 116, 394, 86);
    ExpectPlacement(f.CoderValueEdit, p, 16, 10, 162, 42);
    ExpectPlacement(f.AddButton, p, 196, 2, 60, 60);
    ExpectPlacement(f.StopButton, p, 320, 2, 60, 60);
    ExpectPlacement(f.BrowseButton, p, 316, 64, 66, 44);
    EXPECT_EQ(ClientRectIn(f.ProgressBar, p).right - ClientRectIn(f.ProgressBar, p).left, 394 - 32);
    EXPECT_EQ(f.TaskListView.ColumnWidth(1), 60);
    EXPECT_EQ(f.TaskListView.ColumnWidth(0), f.TaskListView.ClientWidth() - 60 - 4);
    EXPECT_EQ(FontHeight(f.CoderValueEdit), -22);
    EXPECT_EQ(FontHeight(f.ExitOnDoneCheck), 2 * smallFont);
    int w32 = 0, h32 = 0;
    ImageList_GetIconSize(f.ButtonImages.Handle(), &w32, &h32);
    EXPECT_EQ(w32, 32) << "the pictures drawn for 200 %";
    EXPECT_EQ(f.ButtonImages.Count(), 6);
    EXPECT_EQ(SmallIconSize(w), 32);

    MoveToScreenOfDpi(w, 96, 197, 101);
    Pump();
    EXPECT_EQ(f.Window.ClientWidth(), 197);
    EXPECT_EQ(f.Window.ClientHeight(), 101);
    ExpectPlacement(f.ControlPanel, w, 0, 0, 197, 58);
    ExpectPlacement(f.TaskListView, w, 0, 58, 197, 43);
    ExpectPlacement(f.CoderValueEdit, p, 8, 5, 81, 21);
    ExpectPlacement(f.PauseButton, p, 129, 1, 30, 30);
    ExpectPlacement(f.DestinationEdit, p, 8, 32, 145, 22);
    EXPECT_EQ(f.TaskListView.ColumnWidth(1), 30);
    EXPECT_EQ(FontHeight(f.CoderValueEdit), -11);
    EXPECT_EQ(FontHeight(f.ExitOnDoneCheck), smallFont);
    ImageList_GetIconSize(f.ButtonImages.Handle(), &w32, &h32);
    EXPECT_EQ(w32, 16);
    EXPECT_EQ(SmallIconSize(w), 16);
}
