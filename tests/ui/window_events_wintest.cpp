#include "support/file_dialog_driver.h"
#include "support/window_fixture.h"
#include "engine/file_coding_job.h"
#include "mainwindow/program_folder.h"
#include "queue/processing_run.h"
#include "queue/task_list.h"
#include "toolkit/folder_part.h"
#include "toolkit/message_pump.h"
#include "toolkit/message_text.h"
#include "ui/window_events.h"

#include <commctrl.h>

#include <fstream>

namespace {

std::string TempFolder()
{
    char buffer[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, buffer);
    std::string folder = std::string(buffer) + "vorrin-events-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string MakeFile(const std::string& path, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 7 + 3);
    out << data;
    return path;
}

// Simulates a run in progress the way everything asks for it: the coder value edit disabled.
struct FakeRun {
    explicit FakeRun(MainForm& f) : form(f) { form.CoderValueEdit.SetEnabled(false); }
    ~FakeRun() { form.CoderValueEdit.SetEnabled(true); }
    MainForm& form;
};

} // namespace

class WindowEventsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ExitRequested = false;
        StopRequested = false;
        RescanRequested = false;
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        ExitRequested = false;
    }
};

TEST_F(WindowEventsTest, EscapeClosesWhileIdleAndDoesNothingDuringARun)
{
    MainForm& f = Form();
    {
        FakeRun run(f);
        f.DestinationEdit.Focus();
        PressKey(VK_ESCAPE);
        Pump(200);
        EXPECT_TRUE(f.Window.Exists());
    }
    f.CoderValueEdit.Focus();
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !f.Window.Exists(); }));
    EXPECT_TRUE(AppTerminated);
}

TEST_F(WindowEventsTest, CloseDuringARunAsksAndOnlyYesCloses)
{
    MainForm& f = Form();
    FakeRun run(f);
    for (const int refusal : {IDNO, IDCANCEL}) {
        ModalAnswerer answer("Confirmation", refusal);
        SendMessageA(f.Window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(answer.Wait());
        EXPECT_EQ(answer.Text(), "Coding is in progress now\rAre you sure you want to exit just now?");
        Pump();
        EXPECT_TRUE(f.Window.Exists());
        EXPECT_FALSE(ExitRequested);
    }
    ModalAnswerer yes("Confirmation", IDYES);
    SendMessageA(f.Window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(yes.Wait());
    EXPECT_TRUE(ExitRequested);
    EXPECT_FALSE(f.Window.Exists()); // at once, not after the run
    EXPECT_TRUE(PumpUntil([] { return AppTerminated; }));
}

TEST_F(WindowEventsTest, ClosingPutsTheShortcutTableBackOnTheWindow)
{
    MainForm& f = Form();
    ASSERT_TRUE(SavedAccelerators);
    WindowClosing();
    EXPECT_FALSE(SavedAccelerators);
    EXPECT_NE(f.Window.Accelerators(), nullptr);
}

TEST_F(WindowEventsTest, EnterGoesToTheAddButtonUnlessAnotherButtonHasTheFocus)
{
    MainForm& f = Form();
    int clicks = 0;
    f.AddButton.onClick = [&] { ++clicks; };
    for (tk::Control* from : {static_cast<tk::Control*>(&f.CoderValueEdit), static_cast<tk::Control*>(&f.DestinationEdit),
                              static_cast<tk::Control*>(&f.TaskListView)}) {
        from->Focus();
        PressKey(VK_RETURN);
        Pump();
        EXPECT_TRUE(f.AddButton.HasFocus());
    }
    EXPECT_EQ(clicks, 3);
    f.PauseButton.SetEnabled(true);
    f.StopButton.SetEnabled(true);
    for (tk::Control* from : {static_cast<tk::Control*>(&f.PauseButton), static_cast<tk::Control*>(&f.StopButton),
                              static_cast<tk::Control*>(&f.BrowseButton)}) {
        from->Focus();
        PressKey(VK_RETURN);
        Pump();
        EXPECT_TRUE(from->HasFocus());
    }
    EXPECT_EQ(clicks, 3);
}

TEST_F(WindowEventsTest, InsertOpensTheAddDialogAlsoDuringARun)
{
    MainForm& f = Form();
    FakeRun run(f);
    f.TaskListView.Focus();
    ModalAnswerer cancel("Select file(s) to simple coding...", IDCANCEL);
    PressKey(VK_INSERT);
    EXPECT_TRUE(cancel.Wait());
    EXPECT_EQ(f.TaskListView.RowCount(), 0);
}

TEST_F(WindowEventsTest, EditsSelectTheirWholeTextWhenTheyGetTheFocus)
{
    MainForm& f = Form();
    f.DestinationEdit.SetText("C:\\out");
    f.TaskListView.Focus();
    PressKey(VK_TAB, false, true); // back to the browse button, then the destination edit
    PressKey(VK_TAB, false, true);
    ASSERT_TRUE(f.DestinationEdit.HasFocus());
    DWORD start = 1, end = 0;
    SendMessageA(f.DestinationEdit.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 6u);
}

TEST_F(WindowEventsTest, DropOnTheBrowseButtonSetsTheDestination)
{
    MainForm& f = Form();
    const std::string folder = TempFolder();
    const std::string file = MakeFile(folder + "a.txt", 10);
    DropOnBrowseButton(folder.substr(0, folder.size() - 1) + "\r" + file);
    EXPECT_EQ(f.DestinationEdit.Text(), folder.substr(0, folder.size() - 1)); // the folder as dropped
    DropOnBrowseButton(file + "\r" + folder);
    EXPECT_EQ(f.DestinationEdit.Text(), folder); // a file gives its folder; only the first item counts
    DropOnBrowseButton("nofolder");
    EXPECT_EQ(f.DestinationEdit.Text(), "");
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(WindowEventsTest, DropOnTheWindowQueuesFilesAndReportsFolders)
{
    MainForm& f = Form();
    const std::string folder = TempFolder();
    // A path past the old 260-character limit arrives whole.
    std::string deep = folder;
    while (deep.size() < 300) {
        deep += std::string(40, 'd') + "\\";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    const std::string a = MakeFile(folder + "a.bin", 100), b = MakeFile(folder + "b.bin", 200);
    const std::string longFile = MakeFile(deep + "long.bin", 50);
    f.CoderValueEdit.SetText("7");
    ModalAnswerer errors("Error", IDOK, 20000, true);
    DropOnWindow(a + "\r" + folder + "\r" + b + "\r" + longFile);
    Pump(300);
    errors.Stop();
    ASSERT_EQ(errors.Texts().size(), 1u) << "one box for the whole drop";
    // The ANSI file calls may refuse a path past 260 characters; then it is reported (the box
    // shortens it in the middle), never queued under a shortened name.
    const bool longQueued = errors.Text() == "File is not exists\r" + folder;
    if (!longQueued) {
        EXPECT_EQ(errors.Text(), FitMessageText("File is not exists\r" + folder + "\r" + longFile));
    }
    ASSERT_EQ(RowCount(), longQueued ? 3 : 2);
    EXPECT_EQ(RowPath(0), a);
    EXPECT_EQ(RowPath(1), b);
    if (longQueued) {
        EXPECT_EQ(RowPath(2), longFile);
    }
    for (int i = 0; i < RowCount(); ++i)
        EXPECT_EQ(RowMark(i), "Ok") << i;
}

TEST_F(WindowEventsTest, HelpIsLookedForInTheProgramsFolder)
{
    const std::string before = ProgramFolder();
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(ProgramFolder(), before);
    // The help file is built beside the programs, so it is found from any current folder.
    EXPECT_EQ(HelpFilePath(), before + "vorrin.chm");
    EXPECT_NE(GetFileAttributesA(HelpFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FolderPart("C:\\a\\b.exe"), "C:\\a\\");
    EXPECT_EQ(FolderPart("C:b.exe"), "C:");
    EXPECT_EQ(FolderPart("b.exe"), "");
    SetCurrentDirectoryA(cwd);
}

namespace {

// The item of a tree view with this text among `item`, its siblings and, `depth` levels
// down, their children; null when there is none.
HTREEITEM FindTreeItem(HWND tree, HTREEITEM item, const std::string& text, int depth)
{
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        char buffer[MAX_PATH] = {};
        TVITEMA data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = buffer;
        data.cchTextMax = MAX_PATH;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        if (text == buffer)
            return item;
        if (depth > 0) {
            TreeView_Expand(tree, item, TVE_EXPAND);
            if (const HTREEITEM found = FindTreeItem(tree, TreeView_GetChild(tree, item), text, depth - 1))
                return found;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(WindowEventsTest, FolderWithoutAPathLeavesTheDestinationAsItWas)
{
    using namespace dialog_driver;
    MainForm& f = Form();
    f.DestinationEdit.SetText("C:\\kept");
    bool chosen = false;
    DialogHelper helper([&](DWORD thread) {
        const HWND box = WaitForDialog(thread);
        if (!box)
            return false;
        Sleep(300);
        const HWND tree = FindWindowExA(box, nullptr, WC_TREEVIEWA, nullptr);
        // A shell folder that is no folder of the file system.
        const HTREEITEM computer = tree ? FindTreeItem(tree, TreeView_GetRoot(tree), "My Computer", 1) : nullptr;
        if (!computer)
            return false;
        TreeView_SelectItem(tree, computer);
        Sleep(100);
        chosen = true;
        return PressUntilGone(box, IDOK);
    });
    SendMessageA(f.BrowseButton.Handle(), BM_CLICK, 0, 0);
    PumpUntil([&] { return helper.Done(); }, 20000);
    EXPECT_TRUE(helper.Finish());
    EXPECT_TRUE(chosen);
    EXPECT_EQ(f.DestinationEdit.Text(), "C:\\kept");
}
