#include "queue/main_window_coding_view.h"

#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "queue/progress_scale.h"
#include "toolkit/message_pump.h"

int MainWindowCodingView::ShowMessageBox(const std::string& text, const std::string& title, unsigned flags)
{
    return ShowMessage(text, title.c_str(), flags);
}

void MainWindowCodingView::SetCaption(const std::string& text)
{
    if (TheMainForm)
        TheMainForm->Window.SetText(text);
}

void MainWindowCodingView::SetProgressRange(std::int64_t high)
{
    progressShift_ = ProgressShift(high);
    if (TheMainForm)
        TheMainForm->ProgressBar.SetRange(ScaledProgress(high, progressShift_));
}

void MainWindowCodingView::SetProgressPosition(std::int64_t position)
{
    if (TheMainForm)
        TheMainForm->ProgressBar.SetPosition(ScaledProgress(position, progressShift_));
}

void MainWindowCodingView::ShowProgress(bool visible)
{
    if (!TheMainForm)
        return;
    if (visible)
        TheMainForm->ProgressBar.Show();
    else
        TheMainForm->ProgressBar.Hide();
}

void MainWindowCodingView::ProcessMessages()
{
    ::ProcessMessages();
}

void MainWindowCodingView::WaitForMessages()
{
    ::WaitForMessages();
}

bool MainWindowCodingView::PauseButtonDown() const
{
    // Once the window is gone or the quit has been taken, nobody can release the button:
    // waiting on would never end.
    return TheMainForm && TheMainForm->PauseButton.Exists() && TheMainForm->PauseButton.IsChecked() &&
           !AppTerminated;
}
