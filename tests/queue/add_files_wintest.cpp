#include "queue/add_files.h"
#include "queue_fixture.h"

#include <dlgs.h>

#include <algorithm>
#include <cctype>
#include <thread>

using AddFilesTest = QueueTest;

namespace {

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

StringList ListOf(std::initializer_list<std::string> items)
{
    StringList list;
    for (const std::string& item : items)
        list.Add(item);
    return list;
}

struct DialogSearch {
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    char className[16] = "";
    char title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && std::string(className) == "#32770" && std::string(title) == search.title) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog(DWORD thread, const char* title)
{
    for (int waited = 0; waited < 10000; waited += 50) {
        DialogSearch search{title, nullptr};
        EnumThreadWindows(thread, MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

void Press(HWND dialog, int button)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

constexpr const char* AddTitle = "Select file(s) to simple coding...";

} // namespace

TEST_F(AddFilesTest, ListedFilesFoldersAndMissingEntriesAreLeftOut)
{
    const std::string known = MakeFile("known.bin", 10, 1);
    const std::string fresh = MakeFile("fresh.bin", 20000, 2);
    const std::string sub = folder_ + "sub";
    CreateDirectoryA(sub.c_str(), nullptr);
    const std::string missing = folder_ + "missing.bin";
    AppendRow(known);
    SetRowMark(0, "Ok");

    // Answers every "Error" box for a while, then reports how many there were. Its search
    // reads window texts of this thread, so this thread pumps until the answerer is done.
    ModalAnswerer answerer("Error", IDOK, 2000, true);
    AddFiles(ListOf({Upper(known), fresh, Upper(fresh), sub, missing, fresh}), 777);
    Pump(2200);
    answerer.Wait();
    EXPECT_EQ(answerer.Count(), 1) << "one box for the whole input";
    EXPECT_EQ(answerer.Text(), "File is not exists\r" + sub + "\r" + missing);

    EXPECT_EQ(Paths(), (std::vector<std::string>{known, fresh}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(known) == Pattern(10, 1));
    EXPECT_TRUE(ReadAll(fresh) == Coded(Pattern(20000, 2), 777));
}

TEST_F(AddFilesTest, FileQueuedUnderAnotherSpellingIsSkippedSilently)
{
    const std::string a = MakeFile("a.bin", 100, 1);
    const std::string longName = MakeFile("long name file.binary", 200, 2);
    CreateDirectoryA((folder_ + "sub").c_str(), nullptr);
    const std::string link = folder_ + "link.bin";
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), a.c_str(), nullptr));
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(longName.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(shortName, longName);
    std::string slashed = a;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    AppendRow(a);
    SetRowMark(0, "Ok");

    ModalAnswerer errors("Error", IDOK, 20000, true);
    AddFiles(ListOf({folder_ + ".\\a.bin", folder_ + "sub\\..\\a.bin", Upper(folder_ + ".\\a.bin"), slashed, link,
                     longName, shortName}),
             777);
    errors.Stop();
    EXPECT_EQ(errors.Count(), 0);
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, longName}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(a) == Pattern(100, 1)) << "queued once, so never coded back";
    EXPECT_TRUE(ReadAll(longName) == Coded(Pattern(200, 2), 777));
}

TEST_F(AddFilesTest, QueuedFilesAreKnownByIdentityAsRowsMoveAndGo)
{
    const std::string a = MakeFile("a.bin", 100, 1);
    const std::string b = MakeFile("b.bin", 100, 2);
    AddFiles(ListOf({a, b}), 777);
    ASSERT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    // Made once b is coded: a file of two names is coded in place only where the disk can
    // mark it with its journal, which Wine's can't.
    const std::string linkToB = folder_ + "b-link.bin";
    ASSERT_TRUE(CreateHardLinkA(linkToB.c_str(), b.c_str(), nullptr));

    DeleteRow(0); // a leaves the queue; b moves up
    AddFiles(ListOf({linkToB, a}), 777);
    // b is queued still, so its link is left out; a is queued anew and coded back.
    EXPECT_EQ(Paths(), (std::vector<std::string>{b, a}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(a) == Pattern(100, 1));
    EXPECT_TRUE(ReadAll(b) == Coded(Pattern(100, 2), 777));
}

TEST_F(AddFilesTest, RelativeEntryMeansTheCurrentFolderWhenItIsAdded)
{
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 1);
    const std::string here = MakeFile("rel.bin", 100, 2);
    CreateDirectoryA((folder_ + "other").c_str(), nullptr);
    const std::string there = MakeFile("other\\rel.bin", 100, 3);
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    AtCaption("0% big.bin", [&] {
        SetCurrentDirectoryA(folder_.c_str());
        AddFiles(ListOf({"rel.bin"}), 5);
        // As a file dialog may do before the run reaches the new row.
        SetCurrentDirectoryA((folder_ + "other").c_str());
    });
    StartRun(777);
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(Paths(), (std::vector<std::string>{big, here}));
    EXPECT_TRUE(ReadAll(here) == Coded(Pattern(100, 2), 777));
    EXPECT_TRUE(ReadAll(there) == Pattern(100, 3)) << "the same name elsewhere is left alone";
}

TEST_F(AddFilesTest, FolderIsReportedWithItsPath)
{
    const std::string sub = folder_ + "sub";
    CreateDirectoryA(sub.c_str(), nullptr);
    ModalAnswerer answerer("Error", IDOK);
    AddFiles(ListOf({sub}), 1);
    EXPECT_TRUE(answerer.Wait());
    EXPECT_EQ(answerer.Text(), "File is not exists\r" + sub);
    EXPECT_EQ(RowCount(), 0);
}

TEST_F(AddFilesTest, NothingAddedStartsNoRunButTheColumnsAreFitted)
{
    MainForm& f = Form();
    const std::string waiting = MakeFile("waiting.bin", 10, 1);
    AppendRow(waiting); // unprocessed: a run would code it
    for (const StringList& input : {StringList(), ListOf({Upper(waiting)}), ListOf({waiting, waiting})}) {
        f.TaskListView.SetColumnWidth(0, 10);
        AddFiles(input, 5);
        EXPECT_EQ(f.TaskListView.ColumnWidth(0), f.TaskListView.ClientWidth() - 32);
    }
    EXPECT_EQ(Marks(), (std::vector<std::string>{""}));
    EXPECT_TRUE(ReadAll(waiting) == Pattern(10, 1));
    EXPECT_TRUE(seenCaptions_.empty());
    EXPECT_FALSE(RunInProgress());
}

TEST_F(AddFilesTest, AddDialogChoiceIsCodedWithTheValueReadBeforeTheDialog)
{
    MainForm& f = Form();
    const std::string a = MakeFile("a.bin", 100, 1);
    const std::string b = MakeFile("b c.bin", 30000, 2);
    f.AddFilesDialog.InitialFolder = folder_;
    f.CoderValueEdit.SetText("4242");
    const HWND edit = f.CoderValueEdit.Handle();
    bool answered = false;
    std::thread helper([&, thread = GetCurrentThreadId()] {
        const HWND box = WaitForDialog(thread, AddTitle);
        if (!box)
            return;
        // The value typed while the dialog is open is not the one the run uses.
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
        const HWND combo = GetDlgItem(box, cmb13);
        const HWND name = combo ? combo : GetDlgItem(box, edt1);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\"a.bin\" \"b c.bin\""));
        Press(box, IDOK);
        answered = true;
    });
    AddFilesCommand();
    helper.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(a) == Coded(Pattern(100, 1), 4242));
    EXPECT_TRUE(ReadAll(b) == Coded(Pattern(30000, 2), 4242));
}

TEST_F(AddFilesTest, CancelledAddDialogChangesNothing)
{
    MainForm& f = Form();
    const std::string waiting = MakeFile("waiting.bin", 10, 1);
    AppendRow(waiting);
    f.AddFilesDialog.InitialFolder = folder_;
    std::thread helper([thread = GetCurrentThreadId()] {
        if (const HWND box = WaitForDialog(thread, AddTitle))
            Press(box, IDCANCEL);
    });
    AddFilesCommand();
    helper.join();
    EXPECT_EQ(Marks(), (std::vector<std::string>{""}));
    EXPECT_TRUE(seenCaptions_.empty());
}
