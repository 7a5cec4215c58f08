#include "support/window_fixture.h"
#include "toolkit/message_pump.h"

#include <vector>

using MessagePumpTest = WindowTest;

TEST_F(MessagePumpTest, ProcessMessagesNeverWaitsAndStopsAtMessageZero)
{
    const HWND w = Form().Window.Handle();
    ProcessMessages();
    const DWORD before = GetTickCount();
    ProcessMessages(); // empty queue: returns at once
    EXPECT_LT(GetTickCount() - before, 500u);

    std::vector<UINT> seen;
    auto previous = Form().Window.messageHook;
    Form().Window.messageHook = [&](MSG& m) {
        if (m.message >= WM_APP)
            seen.push_back(m.message);
        return previous(m);
    };
    PostMessageA(w, WM_APP + 1, 0, 0);
    PostMessageA(w, 0, 0, 0);
    PostMessageA(w, WM_APP + 2, 0, 0);
    ProcessMessages();
    EXPECT_EQ(seen, std::vector<UINT>{WM_APP + 1}); // the message behind the 0 waits
    ProcessMessages();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
}

TEST_F(MessagePumpTest, MainHookSeesOtherWindowsMessagesFirstAndCanStopThem)
{
    MainForm& f = Form();
    f.DestinationEdit.Focus();
    f.DestinationEdit.SetText("");
    auto previous = f.Window.messageHook;
    int hooked = 0;
    f.Window.messageHook = [&](MSG& m) {
        if (m.hwnd == f.DestinationEdit.Handle() && m.message == WM_CHAR) {
            ++hooked;
            return m.wParam == 'x'; // handled: the edit never sees it
        }
        return previous(m);
    };
    PostMessageA(f.DestinationEdit.Handle(), WM_CHAR, 'a', 1);
    PostMessageA(f.DestinationEdit.Handle(), WM_CHAR, 'x', 1);
    PostMessageA(f.DestinationEdit.Handle(), WM_CHAR, 'b', 1);
    Pump();
    EXPECT_EQ(hooked, 3);
    EXPECT_EQ(f.DestinationEdit.Text(), "ab");
}

TEST_F(MessagePumpTest, QuitInsideANestedPumpEndsTheLoopWithoutAnotherWait)
{
    MainForm& f = Form();
    bool nestedReturned = false;
    f.Window.messageHook = [&](MSG& m) {
        if (m.message == WM_APP) {
            PostMessageA(f.Window.Handle(), WM_CLOSE, 0, 0);
            // The coding job pumps like this between its blocks.
            for (int i = 0; i < 20; ++i)
                ProcessMessages();
            nestedReturned = true;
        }
        return false;
    };
    PostMessageA(f.Window.Handle(), WM_APP, 0, 0);
    ProcessMessages();
    EXPECT_TRUE(nestedReturned);
    EXPECT_TRUE(AppTerminated);
    EXPECT_FALSE(f.Window.Exists());
    // Calls on controls of the destroyed window do nothing.
    f.ProgressBar.SetPosition(5);
    f.CoderValueEdit.SetText("1");
    EXPECT_EQ(f.CoderValueEdit.Text(), "");
    EXPECT_FALSE(f.CoderValueEdit.IsEnabled());
}

TEST_F(MessagePumpTest, ShortcutsActOnlyWhileTheTaskListHasTheFocus)
{
    MainForm& f = Form();
    int cleared = 0;
    const unsigned spaceId = f.TaskMenu.Items()[6].id;
    f.TaskMenu.FindById(spaceId)->onClick = [&] { ++cleared; };

    f.DestinationEdit.Focus();
    f.DestinationEdit.SetText("");
    PressKey(VK_SPACE);
    PostMessageA(f.DestinationEdit.Handle(), WM_CHAR, ' ', 1);
    Pump();
    EXPECT_EQ(cleared, 0);
    EXPECT_EQ(f.Window.Accelerators(), nullptr);

    f.TaskListView.Focus();
    Pump();
    EXPECT_NE(f.Window.Accelerators(), nullptr);
    PressKey(VK_SPACE);
    EXPECT_EQ(cleared, 1);

    f.CoderValueEdit.Focus();
    Pump();
    EXPECT_EQ(f.Window.Accelerators(), nullptr);
    PressKey(VK_SPACE);
    EXPECT_EQ(cleared, 1);
}

TEST(Accelerators, OnlyTheFirstThousandItemsGetATable)
{
    tk::Form window;
    ASSERT_TRUE(window.Create({}));
    tk::PopupMenu menu;
    ASSERT_TRUE(menu.Create(window));
    for (int i = 0; i < 1005; ++i) {
        const int index = menu.AddItem("item");
        menu.SetItemAccelerator(index, tk::MakeAccelerator(FVIRTKEY | FCONTROL, static_cast<WORD>(0x70 + i % 10)));
    }
    ASSERT_NE(window.Accelerators(), nullptr);
    EXPECT_EQ(CopyAcceleratorTableA(window.Accelerators(), nullptr, 0), 1000);
    EXPECT_EQ(tk::MakeAccelerator(0x09, 0x2E), 0x2E09u);
}
