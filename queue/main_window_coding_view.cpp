#include "queue/main_window_coding_view.h"

#include "engine/coding_paths.h"
#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "queue/processing_run.h"
#include "queue/progress_scale.h"
#include "toolkit/message_pump.h"

#include <initializer_list>
#include <string_view>

namespace {

void ShowError(const std::string& text)
{
    ShowMessage(text, "Error", MB_OK | MB_ICONERROR);
}

bool AskYes(const std::string& text)
{
    return ShowMessage(text, "Warning", MB_YESNOCANCEL | MB_ICONWARNING) == IDYES;
}

// The pieces of a box's text, one after another: one string grows, which keeps the program
// smaller than a chain of temporaries.
std::string Joined(std::initializer_list<std::string_view> pieces)
{
    std::string text;
    for (const std::string_view piece : pieces)
        text += piece;
    return text;
}

// Once the window is gone or the quit has been taken, nobody can release the button:
// waiting on would never end.
bool PauseButtonDown()
{
    return TheMainForm && TheMainForm->PauseButton.Exists() && TheMainForm->PauseButton.IsChecked() &&
           !AppTerminated;
}

} // namespace

MainWindowCodingView::~MainWindowCodingView()
{
    Present();
}

void MainWindowCodingView::Present()
{
    if (!TheMainForm)
        return;
    MainForm& f = *TheMainForm;
    // Brings one part of the window in line; true when it changed.
    const auto update = [](int wanted, int& shown) {
        if (wanted == Unknown || wanted == shown)
            return false;
        shown = wanted;
        return true;
    };
    if (captionWanted_) {
        captionWanted_ = false;
        if (wanted_.caption != shown_.caption) {
            shown_.caption = wanted_.caption;
            f.Window.SetText(shown_.caption);
        }
    }
    if (update(wanted_.progressRange, shown_.progressRange)) {
        f.ProgressBar.SetRange(shown_.progressRange);
        shown_.progressPosition = Unknown; // the bar may have moved its position into the range
    }
    if (update(wanted_.progressPosition, shown_.progressPosition))
        f.ProgressBar.SetPosition(shown_.progressPosition);
    if (update(wanted_.progressVisible, shown_.progressVisible)) {
        if (shown_.progressVisible)
            f.ProgressBar.Show();
        else
            f.ProgressBar.Hide();
    }
}

bool MainWindowCodingView::MayRewrite(const std::string& destination)
{
    Present();
    return AskYes("File already exists\r" + destination + "\r\rRewrite it?");
}

bool MainWindowCodingView::MayCodeAgain(const std::string& source, const CodedRange& coded)
{
    Present();
    return AskYes("File is partly coded\r" + source + "\r" + CodedRangeText(coded) +
                  "\r\rCode it again from the start?");
}

RepairChoice MainWindowCodingView::ChooseRepair(const std::string& source, const InterruptedFile& found)
{
    Present();
    const std::string damaged =
        found.damaged.empty() ? std::string() : "\r" + DamagedRangesText(found.damaged) + " and will be left as they are";
    const int answer = ShowMessage(
        Joined({"File's coding was cut short\r", source, "\r", std::to_string(found.codedBytes), " of ",
                std::to_string(found.size), " bytes are coded", damaged,
                "\r\rYes: finish coding it\rNo: restore it as it was\rCancel: leave it and its journal as they are"}),
        "Warning", MB_YESNOCANCEL | MB_ICONWARNING);
    // Cancel, or the box closed, leaves the file.
    return answer == IDYES ? RepairChoice::Finish : answer == IDNO ? RepairChoice::Restore : RepairChoice::Leave;
}

void MainWindowCodingView::ReportWrongValue(const std::string& source, const std::string& journalPath)
{
    Present();
    ShowError(Joined({"Can't repair file\r", source,
                      "\rIts coding was begun with another value; nothing was changed.\rJournal: ", journalPath}));
}

void MainWindowCodingView::ReportDamaged(const std::string& source, const InterruptedFile& left)
{
    Present();
    ShowError(Joined({"File is damaged\r", source, "\r", DamagedRangesText(left.damaged), ", left as they are"}));
}

void MainWindowCodingView::ReportCantOpen(const std::string& path)
{
    Present();
    ShowError("Can't open file\r" + path);
}

void MainWindowCodingView::ReportBusy(const std::string& source)
{
    Present();
    ShowError("File is being coded by another run\r" + source);
}

void MainWindowCodingView::ReportJournalTrouble(const std::string& source, const JournalTrouble& trouble)
{
    Present();
    const char* const why =
        trouble.problem == JournalProblem::Damaged
            ? "Its journal is damaged: the file may be partly coded, and was left as it is."
        : trouble.problem == JournalProblem::OtherFile
            ? "The journal was made for another file, or for this one before it was copied or changed; nothing "
              "was changed."
        : trouble.problem == JournalProblem::NotTrusted
            ? "The journal was made by another user; nothing was changed."
            : "The file has several names, and its disk can't mark it with its journal; it was not coded in place.";
    ShowError(Joined({"Can't code file\r", source, "\r", why, "\rJournal: ", trouble.journalPath}));
}

void MainWindowCodingView::ReportCantCode(CodingFailure failure, const std::string& path,
                                          const std::optional<CodedRange>& leftCoded)
{
    Present();
    std::string text = (failure == CodingFailure::Read    ? "Can't read file\r"
                        : failure == CodingFailure::Write ? "Can't write file\r"
                                                          : "File changed while it was coded\r") +
                       path;
    if (leftCoded)
        text += "\rThe file is left partly coded:\r" + CodedRangeText(*leftCoded);
    ShowError(text);
}

void MainWindowCodingView::ProgressBegun(std::int64_t lastBlock)
{
    progressShift_ = ProgressShift(lastBlock);
    wanted_.progressRange = ScaledProgress(lastBlock, progressShift_);
    wanted_.progressPosition = 0;
    wanted_.progressVisible = 1;
}

void MainWindowCodingView::ProgressMade(const CodingProgress& progress)
{
    wanted_.progressPosition = ScaledProgress(progress.block + 1, progressShift_);
    wanted_.caption = ProgressCaption(progress.block, progress.lastBlock, progress.size, progress.fileName);
    captionWanted_ = true;
    Present();
    ProcessMessages();
    while (PauseButtonDown() && !::ExitRequested) {
        WaitForMessages();
        ProcessMessages();
    }
}

void MainWindowCodingView::Waiting()
{
    ProcessMessages();
}

void MainWindowCodingView::ProgressEnded()
{
    wanted_.progressVisible = 0;
}

bool MainWindowCodingView::ExitRequested() const
{
    return ::ExitRequested;
}

void MainWindowCodingView::FileDone()
{
    wanted_.caption = "Vorrin";
    captionWanted_ = true;
}
