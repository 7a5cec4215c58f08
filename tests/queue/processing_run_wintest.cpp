#include "engine/partly_coded_files.h"
#include "queue/list_commands.h"
#include "queue/add_files.h"
#include "queue_fixture.h"

using ProcessingRunTest = QueueTest;

namespace {

constexpr CoderValue RunValue = 12345;

struct Face {
    bool coderEditVisible, coderEditEnabled, exitCheckVisible, destinationVisible, browseVisible;
    bool pauseEnabled, stopEnabled;
    int pauseImage, stopImage;
};

Face FaceOf(const MainForm& f)
{
    return {f.CoderValueEdit.IsVisible(), f.CoderValueEdit.IsEnabled(), f.ExitOnDoneCheck.IsVisible(),
            f.DestinationEdit.IsVisible(), f.BrowseButton.IsVisible(),  f.PauseButton.IsEnabled(),
            f.StopButton.IsEnabled(),      f.PauseButton.ImageIndex(),  f.StopButton.ImageIndex()};
}

void ExpectIdleFace(const MainForm& f)
{
    const Face face = FaceOf(f);
    EXPECT_TRUE(face.coderEditVisible && face.coderEditEnabled);
    EXPECT_FALSE(face.exitCheckVisible);
    EXPECT_TRUE(face.destinationVisible && face.browseVisible);
    EXPECT_FALSE(face.pauseEnabled || face.stopEnabled);
    EXPECT_EQ(face.pauseImage, PauseGreyImage);
    EXPECT_EQ(face.stopImage, StopGreyImage);
    EXPECT_FALSE(RunInProgress());
}

void ExpectRunningFace(const Face& face)
{
    EXPECT_FALSE(face.coderEditVisible || face.coderEditEnabled);
    EXPECT_TRUE(face.exitCheckVisible);
    EXPECT_FALSE(face.destinationVisible || face.browseVisible);
    EXPECT_TRUE(face.pauseEnabled && face.stopEnabled);
    EXPECT_EQ(face.pauseImage, PauseImage);
    EXPECT_EQ(face.stopImage, StopImage);
}

bool Unchanged(const std::string& path, std::size_t size, std::uint32_t seed)
{
    return ReadAll(path) == Pattern(size, seed);
}

bool CodedOnce(const std::string& path, std::size_t size, std::uint32_t seed, CoderValue value = RunValue)
{
    return ReadAll(path) == Coded(Pattern(size, seed), value);
}

} // namespace

TEST_F(ProcessingRunTest, CodesEveryUnprocessedRowWithTheRunsValueAndSwitchesTheFace)
{
    MainForm& f = Form();
    const std::string done = MakeQueuedFile("done.bin", 1000, 1, "Ok");
    const std::string a = MakeQueuedFile("a.bin", 20000, 2);
    const std::string b = MakeQueuedFile("b.bin", 3, 3);
    f.PauseButton.SetChecked(true); // left down by an earlier run
    f.ExitOnDoneCheck.SetChecked(true);

    Face during{};
    std::vector<std::string> marksDuring;
    bool pauseDownDuring = true, exitCheckedDuring = true;
    AtCaption("0% a.bin", [&] {
        during = FaceOf(f);
        marksDuring = Marks();
        pauseDownDuring = f.PauseButton.IsChecked();
        exitCheckedDuring = f.ExitOnDoneCheck.IsChecked();
    });
    StartRun(RunValue);

    ExpectRunningFace(during);
    EXPECT_EQ(marksDuring, (std::vector<std::string>{"Ok", "...", ""}));
    EXPECT_FALSE(pauseDownDuring);
    EXPECT_FALSE(exitCheckedDuring);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok", "Ok"}));
    EXPECT_TRUE(Unchanged(done, 1000, 1));
    EXPECT_TRUE(CodedOnce(a, 20000, 2));
    EXPECT_TRUE(CodedOnce(b, 3, 3));
    ExpectIdleFace(f);
    EXPECT_FALSE(ClosePosted());
    EXPECT_EQ(f.Window.Text(), "Vorrin");
}

TEST_F(ProcessingRunTest, RunWithNothingToDoSwitchesBackAtOnceAndKeepsTheWindow)
{
    MainForm& f = Form();
    AppendRow(folder_ + "gone.bin");
    SetRowMark(0, "Err");
    f.ExitOnDoneCheck.SetChecked(true);
    StartRun(RunValue);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Err"}));
    ExpectIdleFace(f);
    EXPECT_FALSE(f.ExitOnDoneCheck.IsChecked());
    EXPECT_FALSE(ClosePosted());
    EXPECT_TRUE(seenCaptions_.empty());
}

TEST_F(ProcessingRunTest, StopFinishesTheCurrentFileAndExitOnDoneClosesAfterwards)
{
    MainForm& f = Form();
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 1);
    const std::string next = MakeQueuedFile("next.bin", 100, 2);
    AtCaption("0% big.bin", [&] {
        Click(f.StopButton);
        Click(f.ExitOnDoneCheck);
    });
    StartRun(RunValue);
    EXPECT_TRUE(StopRequested);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", ""}));
    EXPECT_TRUE(CodedOnce(big, FiveMiB, 1));
    EXPECT_TRUE(Unchanged(next, 100, 2));
    ExpectIdleFace(f);
    EXPECT_TRUE(f.ExitOnDoneCheck.IsChecked());
    EXPECT_TRUE(ClosePosted());

    // The next run clears the stop and takes up what was left.
    Pump(); // the window closes; the list is gone with it
    EXPECT_FALSE(IsWindow(f.Window.Handle()));
}

TEST_F(ProcessingRunTest, StopWhilePausedWaitsForResumeThenFinishesTheFile)
{
    MainForm& f = Form();
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 1);
    const std::string next = MakeQueuedFile("next.bin", 100, 2);
    bool stillWaiting = false;
    AtCaption("0% big.bin", [&] {
        Click(f.PauseButton);
        Later(30, [&] {
            Click(f.StopButton);
            Later(100, [&] {
                // Stopping did not end the pause: block 0 is still unwritten.
                stillWaiting = RowMark(0) == "..." && Unchanged(big, FiveMiB, 1) && f.PauseButton.IsChecked();
                Click(f.PauseButton);
            });
        });
    });
    StartRun(RunValue);
    EXPECT_TRUE(stillWaiting);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", ""}));
    EXPECT_TRUE(CodedOnce(big, FiveMiB, 1));
    EXPECT_TRUE(Unchanged(next, 100, 2));
    EXPECT_FALSE(f.PauseButton.IsChecked());
    ExpectIdleFace(f);
    EXPECT_FALSE(ClosePosted());
}

TEST_F(ProcessingRunTest, OutcomeFindsItsRowAfterRowsAboveWereDeleted)
{
    const std::string s1 = MakeQueuedFile("s1.bin", 10, 1);
    MakeQueuedFile("s2.bin", 10, 2);
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 3);
    const std::string s3 = MakeQueuedFile("s3.bin", 10, 4);
    AtCaption("0% big.bin", [&] {
        SelectRow(0);
        DeleteFromList();
        SelectRow(0);
        DeleteFromList();
    });
    StartRun(RunValue);
    EXPECT_EQ(Paths(), (std::vector<std::string>{big, s3}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(CodedOnce(big, FiveMiB, 3));
    EXPECT_TRUE(CodedOnce(s3, 10, 4));
    EXPECT_TRUE(CodedOnce(s1, 10, 1));
}

TEST_F(ProcessingRunTest, RunningRowRemovedOnceItsMarkWasEmptiedLeavesNoOutcome)
{
    const std::string done = MakeQueuedFile("done.bin", 10, 1, "Ok");
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 2);
    const std::string after = MakeQueuedFile("after.bin", 10, 3);
    std::vector<std::string> marksAfterClear;
    AtCaption("0% big.bin", [&] {
        SelectRow(1);
        ClearCurrentResult(); // the "..." mark goes; the selection moves down
        marksAfterClear = Marks();
        SelectRow(1);
        DeleteFromList(); // no longer refused
    });
    StartRun(RunValue);
    EXPECT_EQ(marksAfterClear, (std::vector<std::string>{"Ok", "", ""}));
    EXPECT_EQ(Paths(), (std::vector<std::string>{done, after}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(Unchanged(done, 10, 1));
    EXPECT_TRUE(CodedOnce(big, FiveMiB, 2));
    EXPECT_TRUE(CodedOnce(after, 10, 3));
}

TEST_F(ProcessingRunTest, ClearedResultsDuringARunWaitForTheNextRun)
{
    const std::string first = MakeQueuedFile("first.bin", 10, 1);
    MakeQueuedFile("big.bin", FiveMiB, 2);
    AtCaption("0% big.bin", [] { ClearAllResults(); });
    StartRun(RunValue);
    // The running row still gets its outcome; the row above is not coded again by this run.
    EXPECT_EQ(Marks(), (std::vector<std::string>{"", "Ok"}));
    EXPECT_TRUE(CodedOnce(first, 10, 1));
}

TEST_F(ProcessingRunTest, RescansCodeRowsReopenedOrAddedDuringTheRun)
{
    const std::string failed = MakeQueuedFile("failed.bin", 10, 1, "Err");
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 2);
    const std::string added1 = MakeFile("added1.bin", 30000, 3);
    const std::string added2 = MakeFile("added2.bin", 7, 4);
    bool rescanAsked = false;
    AtCaption("0% big.bin", [&] {
        ProcessUnprocessed();
        StringList more;
        more.Add(added1);
        more.Add(added2);
        AddFiles(more, 999); // another value: the run keeps its own
        rescanAsked = RescanRequested;
    });
    StartRun(RunValue);
    EXPECT_TRUE(rescanAsked);
    EXPECT_FALSE(RescanRequested);
    EXPECT_EQ(Paths(), (std::vector<std::string>{failed, big, added1, added2}));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok", "Ok", "Ok"}));
    EXPECT_TRUE(CodedOnce(failed, 10, 1));
    EXPECT_TRUE(CodedOnce(big, FiveMiB, 2));
    EXPECT_TRUE(CodedOnce(added1, 30000, 3));
    EXPECT_TRUE(CodedOnce(added2, 7, 4));
    ExpectIdleFace(Form());
}

// The user closes the window a third of the way into a file coded in place and confirms:
// undoing the third touches fewer bytes than finishing, so the file is left as it was.
TEST_F(ProcessingRunTest, ConfirmedCloseMidFileUndoesItAndClosesTheWindow)
{
    MainForm& f = Form();
    const std::size_t size = 12 << 20; // the caption shows 0%, 33% and 66%
    const std::string big = MakeQueuedFile("big.bin", size, 1);
    const std::string next = MakeQueuedFile("next.bin", 100, 2);
    bool answered = false;
    AtCaption("33% big.bin", [&] {
        ModalAnswerer yes("Confirmation", IDYES);
        SendMessageA(f.Window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        answered = yes.Wait();
    });
    StartRun(RunValue);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(f.Window.Exists());
    EXPECT_TRUE(AppTerminated);
    EXPECT_TRUE(Unchanged(big, size, 1));
    EXPECT_TRUE(Unchanged(next, 100, 2));
}

TEST_F(ProcessingRunTest, ConfirmedCloseWhilePausedEndsTheWaitAndLeavesPauseDown)
{
    MainForm& f = Form();
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 1);
    AtCaption("0% big.bin", [&] {
        Click(f.PauseButton);
        Later(50, [] { ExitRequested = true; });
    });
    StartRun(RunValue);
    EXPECT_TRUE(Unchanged(big, FiveMiB, 1));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Err"}));
    EXPECT_TRUE(ClosePosted());
    EXPECT_TRUE(f.PauseButton.IsChecked());
    EXPECT_FALSE(f.PauseButton.IsEnabled());
}

TEST_F(ProcessingRunTest, WindowGoneWhilePausedEndsTheWaitAndTheRun)
{
    // Once the window is gone nobody can release the Pause/Resume button: the job must not
    // wait for it, and the run must end with the list gone.
    MainForm& f = Form();
    const std::string big = MakeQueuedFile("big.bin", FiveMiB, 1);
    const std::string next = MakeQueuedFile("next.bin", 100, 2);
    AtCaption("0% big.bin", [&] {
        Click(f.PauseButton);
        Later(20, [&] { DestroyWindow(f.Window.Handle()); });
    });
    StartRun(RunValue);
    EXPECT_FALSE(IsWindow(f.Window.Handle()));
    EXPECT_TRUE(CodedOnce(big, FiveMiB, 1));
    EXPECT_TRUE(Unchanged(next, 100, 2));
}

// A file a failure left partly coded is not coded again from the start by Process Unprocessed
// without the user's say.
TEST_F(ProcessingRunTest, ProcessUnprocessedAsksBeforeCodingAPartlyCodedFileAgain)
{
    const std::string part = MakeQueuedFile("part.bin", 30000, 1, "Err");
    const std::string other = MakeQueuedFile("other.bin", 100, 2, "Err");
    RememberPartlyCoded(part, {0, 16384, 30000});
    Form().CoderValueEdit.SetText(std::to_string(RunValue));
    for (const int answer : {IDNO, IDYES}) {
        ModalAnswerer box("Warning", answer);
        ProcessUnprocessed();
        ASSERT_TRUE(box.Wait());
        EXPECT_EQ(box.Text(), "File is partly coded\r" + part +
                                  "\rBytes 0 to 16383 of 30000 are coded\r\rCode it again from the start?");
        if (answer == IDNO) {
            EXPECT_EQ(Marks(), (std::vector<std::string>{"Err", "Ok"}));
            EXPECT_TRUE(Unchanged(part, 30000, 1));
        }
    }
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
    EXPECT_TRUE(CodedOnce(part, 30000, 1));
    EXPECT_TRUE(CodedOnce(other, 100, 2));
}

TEST_F(ProcessingRunTest, MinimizedOrMaximizedWindowIsShownNormalAtTheEnd)
{
    MainForm& f = Form();
    for (const int show : {SW_MINIMIZE, SW_MAXIMIZE}) {
        MakeQueuedFile(show == SW_MINIMIZE ? "min.bin" : "max.bin", 100, 1);
        AtCaption("100%", [&] { ShowWindow(f.Window.Handle(), show); });
        StartRun(RunValue);
        Pump(20);
        EXPECT_FALSE(IsIconic(f.Window.Handle())) << show;
        EXPECT_FALSE(IsZoomed(f.Window.Handle())) << show;
        EXPECT_TRUE(IsWindowVisible(f.Window.Handle())) << show;
    }
}

TEST_F(ProcessingRunTest, DestinationGetsItsBackslashAndMissingLevelsBeforeTheFirstJob)
{
    MainForm& f = Form();
    const std::string source = MakeQueuedFile("src.bin", 40000, 5);
    const std::string target = folder_ + "out\\a\\b";
    f.DestinationEdit.SetText(target);
    std::string textDuring;
    AtCaption("0% src.bin", [&] { textDuring = f.DestinationEdit.Text(); });
    StartRun(RunValue);
    EXPECT_EQ(textDuring, target + "\\");
    EXPECT_EQ(f.DestinationEdit.Text(), target + "\\");
    EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok"}));
    EXPECT_TRUE(Unchanged(source, 40000, 5));
    EXPECT_TRUE(ReadAll(target + "\\src.bin") == Coded(Pattern(40000, 5), RunValue));

    // Coding in place leaves the empty destination alone.
    f.DestinationEdit.SetText("");
    SetRowMark(0, "");
    StartRun(RunValue);
    EXPECT_EQ(f.DestinationEdit.Text(), "");
    EXPECT_TRUE(CodedOnce(source, 40000, 5));
}
