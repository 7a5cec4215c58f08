#include "queue/main_window_coding_view.h"

#include "engine/coding_paths.h"
#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "queue/processing_run.h"
#include "queue/progress_scale.h"
#include "toolkit/message_pump.h"

namespace {

void ShowError(const std::string& text)
{
    ShowMessage(text, "Error", MB_OK | MB_ICONERROR);
}

bool AskYes(const std::string& text)
{
    return ShowMessage(text, "Warning", MB_YESNOCANCEL | MB_ICONWARNING) == IDYES;
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

// Until the window has its own question, an interrupted file is left as it is, journal and all.
RepairChoice MainWindowCodingView::ChooseRepair(const std::string&, const InterruptedFile&)
{
    return RepairChoice::Leave;
}

void MainWindowCodingView::ReportWrongValue(const std::string&, const std::string&) {}

void MainWindowCodingView::ReportDamaged(const std::string&, const InterruptedFile&) {}

void MainWindowCodingView::ReportCantOpen(const std::string& path)
{
    Present();
    ShowError("Can't open file\r" + path);
}

void MainWindowCodingView::ReportCantCode(CodingFailure failure, const std::string& path,
                                          const std::optional<CodedRange>& leftCoded)
{
    Present();
    std::string text = (failure == CodingFailure::Read ? "Can't read file\r" : "Can't write file\r") + path;
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
