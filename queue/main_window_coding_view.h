#pragma once
// The file job's face towards the main window. Every call is harmless once the window is
// gone (a confirmed close destroys it while the job still runs).
#include "engine/coding_view.h"


#include <optional>
#include <string>

// The window shows what the job asks for whenever it can be seen: before messages are handled
// (painting among them), before a box, while paused, and when the view goes at the end of the
// run. In between, changes only gather. So a run of small files changes the caption once a
// file and leaves the progress bar up from one file to the next, where it once set the caption
// twice and showed and hid the bar for every file, each a repaint.
class MainWindowCodingView final : public CodingView {
public:
    MainWindowCodingView() = default;
    MainWindowCodingView(const MainWindowCodingView&) = delete;
    MainWindowCodingView& operator=(const MainWindowCodingView&) = delete;
    ~MainWindowCodingView() override;

    int ShowMessageBox(const std::string& text, const std::string& title, unsigned flags) override;
    void SetCaption(const std::string& text) override;
    void SetProgressRange(std::int64_t high) override;
    void SetProgressPosition(std::int64_t position) override;
    void ShowProgress(bool visible) override;
    void ProcessMessages() override;
    void WaitForMessages() override;
    bool PauseButtonDown() const override;

private:
    struct Face {
        std::optional<std::string> caption;
        std::optional<int> progressRange;
        std::optional<int> progressPosition;
        std::optional<bool> progressVisible;
    };
    void Present();

    Face wanted_; // what the job asked for
    Face shown_;  // what the window shows; nothing where not known
    int progressShift_ = 0;
};
