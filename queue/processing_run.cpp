#include "queue/processing_run.h"

#include "engine/file_coding_job.h"
#include "mainwindow/main_form.h"
#include "queue/main_window_coding_view.h"
#include "queue/queue_paths.h"
#include "queue/task_list.h"

#include <string>

bool StopRequested = false;
bool RescanRequested = false;
bool ExitRequested = false;

namespace {

// The controls of a run: switched to their running states when made, back to idle when
// gone, so that the window is usable again however the run ends.
class RunningFace {
public:
    explicit RunningFace(MainForm& f) : f_(f)
    {
        f_.CoderValueEdit.SetEnabled(false); // from here on a run is in progress
        f_.CoderValueEdit.Hide();
        f_.ExitOnDoneCheck.SetChecked(false);
        f_.ExitOnDoneCheck.Show();
        f_.DestinationEdit.Hide();
        f_.BrowseButton.Hide();
        f_.PauseButton.SetEnabled(true);
        f_.PauseButton.SetImageIndex(PauseImage);
        f_.PauseButton.SetChecked(false);
        f_.StopButton.SetEnabled(true);
        f_.StopButton.SetImageIndex(StopImage);
    }
    RunningFace(const RunningFace&) = delete;
    RunningFace& operator=(const RunningFace&) = delete;

    ~RunningFace()
    {
        f_.StopButton.SetEnabled(false);
        f_.StopButton.SetImageIndex(StopGreyImage);
        f_.PauseButton.SetEnabled(false); // left down if it was down; the next run releases it
        f_.PauseButton.SetImageIndex(PauseGreyImage);
        f_.CoderValueEdit.Show();
        f_.CoderValueEdit.SetEnabled(true); // the run is over
        if (f_.Window.WasMinimizedOrMaximized())
            f_.Window.ShowNormalWithoutActivating();
        f_.ExitOnDoneCheck.Hide();
        f_.DestinationEdit.Show();
        f_.BrowseButton.Show();
    }

private:
    MainForm& f_;
};

// One pass over the whole list. The row count is read afresh each time, so rows appended
// meanwhile are reached; no row index is held across a job, whose pumps may move the rows.
void RunPass(CoderValue value, const std::string& destination, MainWindowCodingView& view)
{
    for (int i = 0; i < RowCount(); ++i) {
        if (StopRequested || ExitRequested || !RowMark(i).empty())
            continue;
        SetRowMark(i, ResultMark::Current);
        const std::string path = RowPath(i);
        const bool coded = FileCodingJob(path, destination, value, view);
        view.FileDone();
        i = FindRow(path); // -1 when the row is gone: the pass goes on from the top
        if (i >= 0)
            SetRowMark(i, coded ? ResultMark::Ok : ResultMark::Err);
    }
}

} // namespace

bool RunInProgress()
{
    return TheMainForm && !TheMainForm->CoderValueEdit.IsEnabled();
}

void StartRun(CoderValue value)
{
    if (!TheMainForm)
        return;
    MainForm& f = *TheMainForm;
    {
        const RunningFace face(f);
        StopRequested = false;
        PrepareDestination();
        // Read once: the edit is hidden for the whole run, so its text cannot change.
        const std::string destination = f.DestinationEdit.Text();
        MainWindowCodingView view;
        do {
            RescanRequested = false;
            RunPass(value, destination, view);
        } while (RescanRequested);
    }
    // Posted, so the window closes once the command that started the run has returned.
    if (ExitRequested || f.ExitOnDoneCheck.IsChecked())
        f.Window.PostClose();
}

void PrepareDestination()
{
    if (!TheMainForm)
        return;
    tk::Edit& edit = TheMainForm->DestinationEdit;
    const std::string text = edit.Text();
    const std::string completed = CompleteDestination(text);
    if (completed != text)
        edit.SetText(completed);
    // Levels that exist already, drive roots and failures are all passed over: a folder
    // that cannot be made shows up as each job's failure to create its file.
    for (const std::string& level : DestinationLevels(completed))
        CreateDirectoryA(level.c_str(), nullptr);
}

void StopButtonClick()
{
    StopRequested = true;
}
