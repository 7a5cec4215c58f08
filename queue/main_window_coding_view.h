#pragma once
// The file job's face towards the main window: its questions and reports as the window's
// message boxes, its progress in the caption and the progress bar. Every call is harmless
// once the window is gone (a confirmed close destroys it while the job still runs).
#include "engine/coding_view.h"

class MainWindowCodingView final : public CodingView {
public:
    bool MayRewrite(const std::string& destination) override;
    bool MayCodeAgain(const std::string& source, const CodedRange& coded) override;
    void ReportCantOpen(const std::string& path) override;
    void ReportCantCode(CodingFailure failure, const std::string& path,
                        const std::optional<CodedRange>& leftCoded) override;
    void ProgressBegun(std::int64_t lastBlock) override;
    // Lets pending messages run, and waits here, using no processor, while the Pause/Resume
    // button is down.
    void ProgressMade(const CodingProgress& progress) override;
    void ProgressEnded() override;
    bool ExitRequested() const override;

    // The caption back to the program's name once a job is over.
    void FileDone();

private:
    int progressShift_ = 0;
};
