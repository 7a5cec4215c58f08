#pragma once
// The file job's face towards the main window. Every call is harmless once the window is
// gone (a confirmed close destroys it while the job still runs).
#include "engine/coding_view.h"

class MainWindowCodingView final : public CodingView {
public:
    int ShowMessageBox(const std::string& text, const std::string& title, unsigned flags) override;
    void SetCaption(const std::string& text) override;
    void SetProgressRange(std::int64_t high) override;
    void SetProgressPosition(std::int64_t position) override;
    void ShowProgress(bool visible) override;
    void ProcessMessages() override;
    void WaitForMessages() override;
    bool PauseButtonDown() const override;

private:
    int progressShift_ = 0;
};
