// The file job's questions and reports as the window shows them: its own boxes and texts.
#include "queue/main_window_coding_view.h"
#include "queue_fixture.h"

#include <commctrl.h>

#include <functional>
#include <utility>

using MainWindowCodingViewTest = QueueTest;

namespace {

// Runs `action`, which shows one box of that caption, answers it with `button` and gives
// its text.
std::string Answered(const char* caption, int button, const std::function<void()>& action)
{
    ModalAnswerer box(caption, button);
    action();
    return box.Wait() ? box.Text() : "(no box)";
}

} // namespace

TEST_F(MainWindowCodingViewTest, QuestionsAndReportsAreTheWindowsBoxes)
{
    MainWindowCodingView view;
    const std::string path = "C:\\out\\a.bin";
    for (const int button : {IDYES, IDNO, IDCANCEL}) {
        bool yes = false;
        EXPECT_EQ(Answered("Warning", button, [&] { yes = view.MayRewrite(path); }),
                  "File already exists\r" + path + "\r\rRewrite it?");
        EXPECT_EQ(yes, button == IDYES);
        EXPECT_EQ(Answered("Warning", button, [&] { yes = view.MayCodeAgain(path, {4, 8, 100}); }),
                  "File is partly coded\r" + path + "\rBytes 4 to 7 of 100 are coded\r\rCode it again from the start?");
        EXPECT_EQ(yes, button == IDYES);
    }
    // An interrupted file: Yes finishes it, No restores it, Cancel (or closing the box) leaves it.
    const InterruptedFile cut{"C:\\out\\a.bin.vrnjournal", 100, 32, {{32, 48, 100}}};
    const std::pair<int, RepairChoice> answers[] = {
        {IDYES, RepairChoice::Finish}, {IDNO, RepairChoice::Restore}, {IDCANCEL, RepairChoice::Leave}};
    for (const auto& [button, choice] : answers) {
        RepairChoice chosen{};
        EXPECT_EQ(Answered("Warning", button, [&] { chosen = view.ChooseRepair(path, cut); }),
                  "File's coding was cut short\r" + path +
                      "\r32 of 100 bytes are coded\rBytes 32 to 47 are damaged and will be left as they are"
                      "\r\rYes: finish coding it\rNo: restore it as it was\rCancel: leave it and its journal as they are");
        EXPECT_EQ(chosen, choice);
    }
    EXPECT_EQ(Answered("Error", IDOK, [&] { view.ReportWrongValue(path, cut.journalPath); }),
              "Can't repair file\r" + path +
                  "\rIts coding was begun with another value; nothing was changed.\rJournal: " + cut.journalPath);
    EXPECT_EQ(Answered("Error", IDOK, [&] { view.ReportDamaged(path, cut); }),
              "File is damaged\r" + path + "\rBytes 32 to 47 are damaged, left as they are");
    EXPECT_EQ(Answered("Error", IDOK, [&] { view.ReportCantOpen(path); }), "Can't open file\r" + path);
    EXPECT_EQ(Answered("Error", IDOK, [&] { view.ReportCantCode(CodingFailure::Read, path, std::nullopt); }),
              "Can't read file\r" + path);
    EXPECT_EQ(Answered("Error", IDOK, [&] { view.ReportCantCode(CodingFailure::Write, path, CodedRange{0, 16384, 30000}); }),
              "Can't write file\r" + path + "\rThe file is left partly coded:\rBytes 0 to 16383 of 30000 are coded");
}

TEST_F(MainWindowCodingViewTest, WindowShowsWhatTheJobAskedWheneverItCanBeSeen)
{
    MainForm& f = Form();
    const auto barShown = [&] { return IsWindowVisible(f.ProgressBar.Handle()) != FALSE; };
    const auto barPosition = [&] { return SendMessageA(f.ProgressBar.Handle(), PBM_GETPOS, 0, 0); };
    {
        MainWindowCodingView view;
        view.ProgressBegun(0);
        view.ProgressMade({0, 0, 10, "a.bin"}); // messages are handled here
        EXPECT_EQ(f.Window.Text(), "100%a.bin");
        EXPECT_TRUE(barShown());
        EXPECT_EQ(barPosition(), 0) << "a range of 0 to 0 holds position 1 at 0";
        view.ProgressEnded();
        view.FileDone();

        // A box shows the window as the job left it: idle caption, no bar.
        EXPECT_EQ(Answered("Error", IDOK, [&] { view.ReportCantOpen("C:\\b.bin"); }), "Can't open file\rC:\\b.bin");
        EXPECT_EQ(f.Window.Text(), "Vorrin");
        EXPECT_FALSE(barShown());

        view.ProgressBegun(320); // 5 MiB
        view.ProgressMade({256, 320, 5u << 20, "c.bin"});
        EXPECT_EQ(f.Window.Text(), "80% c.bin");
        EXPECT_TRUE(barShown());
        EXPECT_EQ(barPosition(), 257);
        view.ProgressEnded();
        view.FileDone();
    }
    // The run is over.
    EXPECT_EQ(f.Window.Text(), "Vorrin");
    EXPECT_FALSE(barShown());
}
