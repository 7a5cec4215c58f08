#pragma once
// The file job's face towards the main window. Every call is harmless once the window is
// gone (a confirmed close destroys it while the job still runs).
#include "engine/coding_view.h"

#include <windows.h>

#include <string>

// The owner of the program's message boxes: the main window, or none once it is gone.
HWND MessageBoxOwner();
// A message box owned by the main window, its text fitted to the screen; returns the button
// pressed.
int ShowMessage(const std::string& text, const char* caption, UINT flags);

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
