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

void SetCaption(const std::string& text)
{
    if (TheMainForm)
        TheMainForm->Window.SetText(text);
}

// Once the window is gone or the quit has been taken, nobody can release the button:
// waiting on would never end.
bool PauseButtonDown()
{
    return TheMainForm && TheMainForm->PauseButton.Exists() && TheMainForm->PauseButton.IsChecked() &&
           !AppTerminated;
}

} // namespace

bool MainWindowCodingView::MayRewrite(const std::string& destination)
{
    return AskYes("File already exists\r" + destination + "\r\rRewrite it?");
}

bool MainWindowCodingView::MayCodeAgain(const std::string& source, const CodedRange& coded)
{
    return AskYes("File is partly coded\r" + source + "\r" + CodedRangeText(coded) +
                  "\r\rCode it again from the start?");
}

void MainWindowCodingView::ReportCantOpen(const std::string& path)
{
    ShowError("Can't open file\r" + path);
}

void MainWindowCodingView::ReportCantCode(CodingFailure failure, const std::string& path,
                                          const std::optional<CodedRange>& leftCoded)
{
    std::string text = (failure == CodingFailure::Read ? "Can't read file\r" : "Can't write file\r") + path;
    if (leftCoded)
        text += "\rThe file is left partly coded:\r" + CodedRangeText(*leftCoded);
    ShowError(text);
}

void MainWindowCodingView::ProgressBegun(std::int64_t lastBlock)
{
    progressShift_ = ProgressShift(lastBlock);
    if (!TheMainForm)
        return;
    TheMainForm->ProgressBar.SetRange(ScaledProgress(lastBlock, progressShift_));
    TheMainForm->ProgressBar.SetPosition(0);
    TheMainForm->ProgressBar.Show();
}

void MainWindowCodingView::ProgressMade(const CodingProgress& progress)
{
    if (TheMainForm)
        TheMainForm->ProgressBar.SetPosition(ScaledProgress(progress.block + 1, progressShift_));
    SetCaption(ProgressCaption(progress.block, progress.lastBlock, progress.size, progress.fileName));
    ProcessMessages();
    while (PauseButtonDown() && !::ExitRequested) {
        WaitForMessages();
        ProcessMessages();
    }
}

void MainWindowCodingView::ProgressEnded()
{
    if (TheMainForm)
        TheMainForm->ProgressBar.Hide();
}

bool MainWindowCodingView::ExitRequested() const
{
    return ::ExitRequested;
}

void MainWindowCodingView::FileDone()
{
    SetCaption("Vorrin");
}
