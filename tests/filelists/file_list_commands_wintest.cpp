// The file-list commands against the real window, the platform's real file dialog (answered
// from a helper thread) and real list files.
#include "filelists/file_list_commands.h"
#include "queue/queue_fixture.h"
#include "support/file_dialog_driver.h"
#include "toolkit/handles.h"
#include "toolkit/message_text.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>

using namespace dialog_driver;

namespace {

constexpr CoderValue ListValue = 4242;

void WriteText(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

using Texts = std::vector<std::string>;

// Another program holding the file open without sharing it.
tk::FileHandle LockWithoutSharing(const std::string& path)
{
    return tk::FileHandle(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

} // namespace

class FileListCommandsTest : public QueueTest {
protected:
    void SetUp() override
    {
        QueueTest::SetUp();
        if (HasFatalFailure())
            return;
        Form().FileListDialog.InitialFolder = folder_;
        Form().CoderValueEdit.SetText(std::to_string(ListValue));
    }

    // Runs a command whose file dialog is answered by typing `name` and pressing OK (and Yes to
    // an overwrite question), then confirms every "Error" box the command shows; returns the
    // texts of those boxes. The "Error" boxes are looked for only once the dialog is gone, as
    // the platform's overwrite question may carry that caption too.
    static Texts RunAnswered(const std::function<void()>& command, const std::string& name,
                             int* overwriteQuestions = nullptr)
    {
        std::optional<ModalAnswerer> errors;
        int questions = -1;
        DialogHelper helper([&](DWORD thread) {
            const HWND box = WaitForDialog(thread);
            if (!box)
                return false;
            TypeAndConfirm(box, name);
            questions = AnswerPromptsUntilGone(thread, box, IDYES);
            errors.emplace("Error", IDOK, 20000, true);
            return questions >= 0;
        });
        command();
        EXPECT_TRUE(FinishPumping(helper)) << "the file dialog was not answered";
        if (overwriteQuestions)
            *overwriteQuestions = questions;
        if (!errors)
            return {};
        errors->Stop();
        return errors->Texts();
    }

    // Waits for the helper; true when it answered. The helper may still be reading this
    // thread's windows, so they keep answering meanwhile.
    static bool FinishPumping(DialogHelper& helper)
    {
        PumpUntil([&] { return helper.Done(); }, 30000);
        return helper.Finish();
    }

    // The post-dialog part of Open or Merge, with its "Error" boxes confirmed and returned.
    static Texts LoadAnswered(const std::string& path, bool replace)
    {
        ModalAnswerer errors("Error", IDOK, 20000, true);
        LoadFileList(path, replace, ListValue);
        errors.Stop();
        return errors.Texts();
    }
};

TEST_F(FileListCommandsTest, SavedQueueOpensBackInOrderUnprocessedAndMergeAddsToIt)
{
    const std::string c = MakeFile("c.bin", 100, 3);
    const std::string a = MakeFile("a.bin", 20000, 1);
    const std::string b = MakeFile("b b.bin", 7, 2);
    // Longer than any fixed path buffer: it must reach the file and the report whole.
    const std::string longMissing = folder_ + std::string(300, 'x') + "\\" + std::string(200, 'y') + ".bin";
    const std::vector<std::pair<std::string, std::string>> saved{
        {c, "Ok"}, {a, "Err"}, {b, ""}, {longMissing, "Ok"}};
    for (const auto& [path, mark] : saved) {
        AppendRow(path);
        SetRowMark(RowCount() - 1, mark);
    }
    const std::string list = folder_ + "queue.flt";
    EXPECT_EQ(RunAnswered(SaveFileList, list), Texts{});
    EXPECT_EQ(ReadText(list), c + "\r\n" + a + "\r\n" + b + "\r\n" + longMissing + "\r\n");
    EXPECT_TRUE(seenCaptions_.empty()) << "saving starts no run";

    // The coder value is the one the edit held before the dialog was shown.
    const HWND edit = Form().CoderValueEdit.Handle();
    ModalAnswerer errors("Error", IDOK, 20000, true);
    DialogHelper helper([&](DWORD thread) {
        const HWND box = WaitForDialog(thread);
        if (!box)
            return false;
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
        TypeAndConfirm(box, list);
        return WaitUntilGone(box);
    });
    OpenFileList(true);
    EXPECT_TRUE(FinishPumping(helper));
    errors.Stop();
    EXPECT_EQ(errors.Texts(), Texts{FitMessageText("File is not exists\r" + longMissing)});
    EXPECT_EQ(Paths(), (std::vector<std::string>{c, a, b}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok", "Ok"})) << "every entry came back unprocessed";
    EXPECT_TRUE(ReadAll(c) == Coded(Pattern(100, 3), ListValue));
    EXPECT_TRUE(ReadAll(a) == Coded(Pattern(20000, 1), ListValue));
    EXPECT_TRUE(ReadAll(b) == Coded(Pattern(7, 2), ListValue));

    // Merge keeps the queue and adds only what is new to it.
    Form().CoderValueEdit.SetText(std::to_string(ListValue));
    const std::string d = MakeFile("d.bin", 50, 4);
    const std::string more = folder_ + "more.flt";
    WriteText(more, Upper(a) + "\r\n" + d + "\r\n" + d);
    EXPECT_EQ(RunAnswered(MergeFileList, more), Texts{});
    EXPECT_EQ(Paths(), (std::vector<std::string>{c, a, b, d}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok", "Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(a) == Coded(Pattern(20000, 1), ListValue)) << "a queued path is not coded again";
    EXPECT_TRUE(ReadAll(d) == Coded(Pattern(50, 4), ListValue));
}

TEST_F(FileListCommandsTest, EmptyQueueSavesAnEmptyFileWhichOpenTurnsIntoAClearedQueueWithoutARun)
{
    const std::string list = folder_ + "empty.flt";
    WriteText(list, "old contents\r\n");
    int questions = 0;
    EXPECT_EQ(RunAnswered(SaveFileList, list, &questions), Texts{});
    EXPECT_EQ(questions, 1) << "saving over an existing list asks first";
    EXPECT_EQ(ReadText(list), "");

    MakeQueuedFile("done.bin", 10, 1, "Ok");
    const std::string current = MakeQueuedFile("current.bin", 10, 2, "...");
    const std::string waiting = MakeQueuedFile("waiting.bin", 10, 3);
    EXPECT_EQ(RunAnswered([] { OpenFileList(true); }, list), Texts{});
    EXPECT_EQ(Paths(), std::vector<std::string>{current}) << "only the task being coded survives Open";
    EXPECT_TRUE(seenCaptions_.empty());
    EXPECT_FALSE(RunInProgress());
    EXPECT_TRUE(ReadAll(waiting) == Pattern(10, 3));
}

TEST_F(FileListCommandsTest, ListLinesFollowTheReadingRules)
{
    const std::string a = MakeFile("a.bin", 10, 1);
    const std::string b = MakeFile("b.bin", 10, 2);
    const std::string list = folder_ + "rules.flt";
    struct Case {
        std::string contents;
        std::vector<std::string> queued;
        Texts reported;
    };
    const std::vector<Case> cases{
        {a + "\r\n" + b, {a, b}, {}},
        {a + "\r\n" + b + "\r\n", {a, b}, {}},
        {a + "\r" + b, {a, b}, {}},
        {a + "\n" + b + "\n", {a, b}, {}},
        {a + "\n" + b + "\r", {a, b}, {}},
        {a + "\r\n\r\n" + b + "\r\n", {a, b}, {"File is not exists\r"}},
        // Spaces are part of the entry: the platform drops trailing ones when it resolves the
        // name, so that entry still finds its file; a leading one makes the name relative, to
        // the list's folder.
        {a + " \r\n" + b, {a + " ", b}, {}},
        {" " + a + "\r\n" + b, {b}, {"File is not exists\r" + folder_ + " " + a}},
        {a + "\r\n" + Upper(a) + "\r\n" + a, {a}, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::PrintToString(test.contents));
        WriteText(list, test.contents);
        EXPECT_EQ(LoadAnswered(list, true), test.reported);
        EXPECT_EQ(Paths(), test.queued);
    }
}

TEST_F(FileListCommandsTest, UnreadableListIsReportedAfterOpenClearedAndMergeKeptTheQueue)
{
    const std::string done = MakeFile("done.bin", 10, 1);
    const std::string current = MakeFile("current.bin", 10, 2);
    const std::string listed = MakeFile("listed.bin", 10, 3);
    const auto fillQueue = [&] {
        while (RowCount() > 0)
            DeleteRow(0);
        for (const std::string& path : {done, current}) {
            AppendRow(path);
            SetRowMark(RowCount() - 1, path == current ? "..." : "Ok");
        }
    };
    const std::string list = folder_ + "held.flt";
    WriteText(list, listed + "\r\n" + listed);
    {
        // The dialog accepts the file, but it cannot be opened for reading.
        const tk::FileHandle lock = LockWithoutSharing(list);
        ASSERT_TRUE(lock);
        fillQueue();
        EXPECT_EQ(RunAnswered(MergeFileList, list), Texts{"Can't open file\r" + list});
        EXPECT_EQ(Paths(), (std::vector<std::string>{done, current}));
        EXPECT_EQ(RunAnswered([] { OpenFileList(true); }, list), Texts{"Can't open file\r" + list});
        EXPECT_EQ(Paths(), std::vector<std::string>{current});
    }
    // Deleted between the dialog and the read.
    DeleteFileA(list.c_str());
    fillQueue();
    EXPECT_EQ(LoadAnswered(list, true), Texts{"Can't open file\r" + list});
    EXPECT_EQ(Paths(), std::vector<std::string>{current});
    EXPECT_TRUE(ReadAll(listed) == Pattern(10, 3));
    EXPECT_TRUE(seenCaptions_.empty());
}

TEST_F(FileListCommandsTest, FailedSaveIsReportedAndLeavesTheReadOnlyListAsItWas)
{
    AppendRow(MakeFile("a.bin", 10, 1));
    const std::string list = folder_ + "read-only.flt";
    WriteText(list, "kept\r\n");
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RunAnswered(SaveFileList, list), Texts{"Can't save file\r" + list});
    EXPECT_EQ(ReadText(list), "kept\r\n");
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileListCommandsTest, DialogProposesTheLastListOpenedAndNothingAfterACancel)
{
    const std::string list = folder_ + "kept.flt";
    WriteText(list, "");
    EXPECT_EQ(RunAnswered([] { OpenFileList(true); }, list), Texts{});

    std::string proposedAfterOpen = "?";
    std::string proposedAfterCancel = "?";
    DialogHelper helper([&](DWORD thread) {
        const HWND first = WaitForDialog(thread);
        if (!first)
            return false;
        proposedAfterOpen = ProposedPath(first);
        if (!PressUntilGone(first, IDCANCEL))
            return false;
        const HWND next = WaitForDialog(thread);
        if (!next)
            return false;
        proposedAfterCancel = TextOf(FileNameBox(next));
        return PressUntilGone(next, IDCANCEL);
    });
    SaveFileList();
    MergeFileList();
    EXPECT_TRUE(FinishPumping(helper));
    EXPECT_EQ(proposedAfterOpen, list);
    EXPECT_EQ(proposedAfterCancel, "");
    EXPECT_EQ(ReadText(list), "") << "a cancelled save writes nothing";
}

TEST_F(FileListCommandsTest, ListMergedDuringARunIsCodedByThatRun)
{
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 1);
    const std::string small = MakeFile("small.bin", 300, 2);
    const std::string list = folder_ + "during.flt";
    WriteText(list, big + "\r\n" + small + "\r\n");
    bool rescanAsked = false;
    int rowsAfterMerge = 0;
    Texts reported;
    AtCaption("0% big.bin", [&] {
        reported = RunAnswered(MergeFileList, list);
        rescanAsked = RescanRequested;
        rowsAfterMerge = RowCount();
    });
    StartRun(ListValue);
    EXPECT_EQ(reported, Texts{});
    EXPECT_TRUE(rescanAsked);
    EXPECT_EQ(rowsAfterMerge, 2);
    EXPECT_EQ(Paths(), (std::vector<std::string>{big, small}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(big) == Coded(Pattern(FiveMiB, 1), ListValue));
    EXPECT_TRUE(ReadAll(small) == Coded(Pattern(300, 2), ListValue)) << "coded once, by the run under way";
    EXPECT_FALSE(RunInProgress());
}

TEST_F(FileListCommandsTest, ShortcutsOnTheListSaveAndOpenLists)
{
    const std::string a = MakeQueuedFile("a.bin", 10, 1, "Ok");
    FocusListWithShortcuts();
    const std::string list = folder_ + "keys.flt";
    EXPECT_EQ(RunAnswered([] { PressKey('S', true); }, list), Texts{});
    EXPECT_EQ(ReadText(list), a + "\r\n");

    const std::string b = MakeFile("b.bin", 10, 2);
    WriteText(list, b + "\r\n");
    FocusListWithShortcuts();
    EXPECT_EQ(RunAnswered([] { PressKey('M', true); }, list), Texts{});
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, b}));

    WriteText(list, a + "\r\n");
    FocusListWithShortcuts();
    EXPECT_EQ(RunAnswered([] { PressKey('O', true); }, list), Texts{});
    EXPECT_EQ(Paths(), std::vector<std::string>{a});
    EXPECT_EQ(Marks(), std::vector<std::string>{"Ok"});
}

TEST_F(FileListCommandsTest, RelativeEntriesNameFilesBesideTheListWhereverTheCurrentFolderIs)
{
    CreateDirectoryA((folder_ + "lists").c_str(), nullptr);
    CreateDirectoryA((folder_ + "elsewhere").c_str(), nullptr);
    const std::string a = MakeFile("lists\\a.bin", 10, 1);
    const std::string b = MakeFile("b.bin", 10, 2);
    const std::string c = MakeFile("c.bin", 10, 3);
    const std::string decoy = MakeFile("elsewhere\\a.bin", 10, 4);
    const std::string list = folder_ + "lists\\relative.flt";
    // Beside the list, one folder up, and from the root of the list's drive.
    WriteText(list, "a.bin\r\n..\\b.bin\r\n" + c.substr(2) + "\r\n");
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA((folder_ + "elsewhere").c_str());
    const Texts reported = LoadAnswered(list, true);
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(reported, Texts{});
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, b, c}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok", "Ok"}));
    EXPECT_TRUE(ReadAll(a) == Coded(Pattern(10, 1), ListValue));
    EXPECT_TRUE(ReadAll(decoy) == Pattern(10, 4)) << "the same name in the current folder is left alone";
}

TEST_F(FileListCommandsTest, GarbageListsAreRefusedAndHugeOnesGiveOneBoxThatFits)
{
    const std::string a = MakeFile("a.bin", 10, 1);
    const std::string b = MakeFile("b.bin", 10, 2);
    const std::string binary = folder_ + "picture.flt";
    WriteAll(binary, Pattern(1 << 20, 7));
    FocusListWithShortcuts();
    EXPECT_EQ(RunAnswered([] { PressKey('O', true); }, binary), Texts{"Not a file list\r" + binary});
    EXPECT_EQ(RowCount(), 0);

    // Thousands of missing names, one of them 10,000 characters long, with LF line ends.
    const std::string huge = folder_ + "huge.flt";
    const std::string longName = folder_ + std::string(10000, 'x') + ".bin";
    std::string contents = a + "\n" + longName + "\n";
    for (int i = 0; i < 5000; ++i)
        contents += folder_ + "gone" + std::to_string(i) + ".bin\n";
    WriteText(huge, contents + b + "\n");
    FocusListWithShortcuts();
    const Texts reported = RunAnswered([] { PressKey('M', true); }, huge);
    ASSERT_EQ(reported.size(), 1u);
    const std::string& box = reported[0];
    EXPECT_EQ(box.rfind("File is not exists\r", 0), 0u);
    EXPECT_NE(box.find("\rand 4991 more"), std::string::npos);
    EXPECT_NE(box.find(folder_ + "gone8.bin"), std::string::npos);
    EXPECT_EQ(box.find(folder_ + "gone9.bin"), std::string::npos);
    for (std::size_t start = 0, end; start <= box.size(); start = end + 1) {
        end = std::min(box.find('\r', start), box.size());
        EXPECT_LE(end - start, MessageLineChars) << "every line of the box is short";
    }
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
}
