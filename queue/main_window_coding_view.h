#pragma once
// The file job's face towards the main window: its questions and reports as the window's
// message boxes, its progress in the caption and the progress bar. Every call is harmless
// once the window is gone (a confirmed close destroys it while the job still runs).
#include "engine/coding_view.h"

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

    bool MayRewrite(const std::string& destination) override;
    bool MayCodeAgain(const std::string& source, const CodedRange& coded) override;
    RepairChoice ChooseRepair(const std::string& source, const InterruptedFile& found) override;
    void ReportCantOpen(const std::string& path) override;
    void ReportBusy(const std::string& source) override;
    void ReportJournalTrouble(const std::string& source, const JournalTrouble& trouble) override;
    void ReportWrongValue(const std::string& source, const std::string& journalPath) override;
    void ReportDamaged(const std::string& source, const InterruptedFile& left) override;
    void ReportCantCode(CodingFailure failure, const std::string& path,
                        const std::optional<CodedRange>& leftCoded) override;
    void ProgressBegun(std::int64_t lastBlock) override;
    // Lets pending messages run, and waits here, using no processor, while the Pause/Resume
    // button is down.
    void ProgressMade(const CodingProgress& progress) override;
    void Waiting() override;
    void ProgressEnded() override;
    bool ExitRequested() const override;

    // The caption back to the program's name once a job is over.
    void FileDone();

private:
    static constexpr int Unknown = -1;
    struct Face {
        std::string caption;
        int progressRange = Unknown;
        int progressPosition = Unknown;
        int progressVisible = Unknown; // 0 or 1
    };
    void Present();

    Face wanted_;                 // what the job asked for; Unknown where it asked nothing yet
    Face shown_;                  // what the window shows; Unknown where not known
    bool captionWanted_ = false;  // wanted_.caption differs from shown_.caption
    int progressShift_ = 0;
};
