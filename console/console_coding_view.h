#pragma once
// The file job's face towards the console: questions answered by the command line's
// options, problems reported on standard error naming the file, progress on one line of a
// terminal, and Ctrl+C as the exit request.
#include "engine/coding_view.h"

#include <chrono>
#include <cstdint>
#include <string>

// What became of one file.
enum class FileOutcome { Coded, Failed, Skipped };

class ConsoleCodingView final : public CodingView {
public:
    // `restore`: a file whose coding was cut short is restored rather than finished, and no
    // other file is coded. `copying`: files are coded into a folder, and one whose coding in
    // place was cut short is refused, not finished where it is.
    ConsoleCodingView(bool overwrite, bool showProgress, bool restore = false, bool copying = false)
        : overwrite_(overwrite), showProgress_(showProgress), restore_(restore), copying_(copying)
    {
    }

    // Before each file: a job that returns false was refused, failed or stopped, and the
    // view saw which.
    void StartFile();
    FileOutcome Outcome(bool coded) const;

    bool MayRewrite(const std::string& destination) override;
    bool MayCodeAgain(const std::string& source, const CodedRange& coded) override;
    RepairChoice ChooseRepair(const std::string& source, const InterruptedFile& found) override;
    bool RestoresOnly() const override { return restore_; }
    void ReportNothingToRestore(const std::string& source) override;
    void ReportCantOpen(const std::string& path) override;
    void ReportBusy(const std::string& source) override;
    void ReportJournalTrouble(const std::string& source, const JournalTrouble& trouble) override;
    void ReportWrongValue(const std::string& source, const std::string& journalPath) override;
    void ReportDamaged(const std::string& source, const InterruptedFile& left) override;
    void ReportCantCode(CodingFailure failure, const std::string& path,
                        const std::optional<CodedRange>& leftCoded) override;
    void ProgressBegun(std::int64_t lastBlock) override;
    void ProgressMade(const CodingProgress& progress) override;
    void ProgressEnded() override;
    bool ExitRequested() const override;

    // A line on standard error, over the progress line if one is shown.
    void Say(const std::string& line);

private:
    void ClearProgress();

    bool overwrite_;
    bool showProgress_;
    bool restore_;
    bool copying_;
    bool failed_ = false;
    bool skipped_ = false;
    std::size_t progressWidth_ = 0;  // characters of the progress line on the terminal
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point shown_;
};
