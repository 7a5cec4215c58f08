#include "queue/main_window_coding_view.h"

#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "queue/progress_scale.h"
#include "toolkit/message_pump.h"

MainWindowCodingView::~MainWindowCodingView()
{
    Present();
}

namespace {

// Brings one part of the window in line; true when it changed.
template <typename T>
bool Update(const std::optional<T>& wanted, std::optional<T>& shown)
{
    if (!wanted || wanted == shown)
        return false;
    shown = wanted;
    return true;
}

} // namespace

void MainWindowCodingView::Present()
{
    if (!TheMainForm)
        return;
    MainForm& f = *TheMainForm;
    if (Update(wanted_.caption, shown_.caption))
        f.Window.SetText(*shown_.caption);
    if (Update(wanted_.progressRange, shown_.progressRange)) {
        f.ProgressBar.SetRange(*shown_.progressRange);
        shown_.progressPosition.reset(); // the bar may have moved its position into the range
    }
    if (Update(wanted_.progressPosition, shown_.progressPosition))
        f.ProgressBar.SetPosition(*shown_.progressPosition);
    if (Update(wanted_.progressVisible, shown_.progressVisible)) {
        if (*shown_.progressVisible)
            f.ProgressBar.Show();
        else
            f.ProgressBar.Hide();
    }
}

int MainWindowCodingView::ShowMessageBox(const std::string& text, const std::string& title, unsigned flags)
{
    Present();
    return ShowMessage(text, title.c_str(), flags);
}

void MainWindowCodingView::SetCaption(const std::string& text)
{
    wanted_.caption = text;
}

void MainWindowCodingView::SetProgressRange(std::int64_t high)
{
    progressShift_ = ProgressShift(high);
    wanted_.progressRange = ScaledProgress(high, progressShift_);
}

void MainWindowCodingView::SetProgressPosition(std::int64_t position)
{
    wanted_.progressPosition = ScaledProgress(position, progressShift_);
}

void MainWindowCodingView::ShowProgress(bool visible)
{
    wanted_.progressVisible = visible;
}

void MainWindowCodingView::ProcessMessages()
{
    Present();
    ::ProcessMessages();
}

void MainWindowCodingView::WaitForMessages()
{
    Present();
    ::WaitForMessages();
}

bool MainWindowCodingView::PauseButtonDown() const
{
    // Once the window is gone or the quit has been taken, nobody can release the button:
    // waiting on would never end.
    return TheMainForm && TheMainForm->PauseButton.Exists() && TheMainForm->PauseButton.IsChecked() &&
           !AppTerminated;
}
