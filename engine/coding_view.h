#pragma once
// What a file job needs of the main window. The job's arithmetic and file handling are
// tested against a fake; the real one sits over the main window and its controls.
#include <cstdint>
#include <string>

class CodingView {
public:
    virtual ~CodingView() = default;

    // A message box owned by the main window (MessageBoxA flags); returns the button pressed.
    virtual int ShowMessageBox(const std::string& text, const std::string& title,
                               unsigned flags) = 0;
    virtual void SetCaption(const std::string& text) = 0;

    // The progress bar runs from 0 to `high`, the job's last block index. A bar with a
    // 32-bit range has to scale values beyond INT32_MAX (files over 32 TiB).
    virtual void SetProgressRange(std::int64_t high) = 0;
    virtual void SetProgressPosition(std::int64_t position) = 0;
    virtual void ShowProgress(bool visible) = 0;

    // Processes every pending window message and returns without waiting.
    virtual void ProcessMessages() = 0;
    // Blocks until a window message is waiting (at once when one is); the job waits for the
    // user this way while paused.
    virtual void WaitForMessages() = 0;
    // The Pause/Resume button is down: processing is paused.
    virtual bool PauseButtonDown() const = 0;
};
