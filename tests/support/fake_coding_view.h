#pragma once
// A view for file jobs under test: records what the job asks, reports and shows, and answers
// its questions from a script.
#include "engine/coding_view.h"

#include <functional>
#include <string>
#include <vector>

class FakeView : public CodingView {
public:
    std::vector<bool> answers;         // to the questions, in order; No once used up
    std::vector<RepairChoice> repairs; // to the repair questions, in order; Leave once used up
    std::vector<std::string> asked;    // "rewrite PATH", "code again PATH: RANGE"
    std::vector<InterruptedFile> found;  // what every repair question showed
    std::vector<std::string> reports;  // "can't open PATH", "can't read PATH", "can't write PATH: left RANGE",
                                       // "wrong value PATH: JOURNAL", "damaged PATH: RANGES", "busy PATH",
                                       // "damaged journal PATH: JOURNAL", "changed PATH", ...
    std::vector<std::int64_t> begun;   // the last block of every progress begun
    std::vector<std::int64_t> made;    // the block of every update
    int ended = 0;
    std::string shownName;
    bool exitRequested = false;
    bool restoresOnly = false;
    std::function<void(int update)> onProgress;  // runs at every update, counted from 1

    bool MayRewrite(const std::string& destination) override { return Ask("rewrite " + destination); }
    bool MayCodeAgain(const std::string& source, const CodedRange& coded) override
    {
        return Ask("code again " + source + ": " + CodedRangeText(coded));
    }
    RepairChoice ChooseRepair(const std::string&, const InterruptedFile& file) override
    {
        found.push_back(file);
        return found.size() <= repairs.size() ? repairs[found.size() - 1] : RepairChoice::Leave;
    }
    void ReportCantOpen(const std::string& path) override { reports.push_back("can't open " + path); }
    void ReportBusy(const std::string& source) override { reports.push_back("busy " + source); }
    void ReportJournalTrouble(const std::string& source, const JournalTrouble& trouble) override
    {
        static const char* const problems[] = {"damaged journal", "journal of another file", "untrusted journal",
                                               "can't mark"};
        reports.push_back(std::string(problems[static_cast<int>(trouble.problem)]) + " " + source + ": " +
                          trouble.journalPath);
    }
    bool RestoresOnly() const override { return restoresOnly; }
    void ReportNothingToRestore(const std::string& source) override { reports.push_back("nothing to restore " + source); }
    void ReportWrongValue(const std::string& source, const std::string& journalPath) override
    {
        reports.push_back("wrong value " + source + ": " + journalPath);
    }
    void ReportDamaged(const std::string& source, const InterruptedFile& left) override
    {
        reports.push_back("damaged " + source + ": " + DamagedRangesText(left.damaged));
    }
    void ReportCantCode(CodingFailure failure, const std::string& path,
                        const std::optional<CodedRange>& leftCoded) override
    {
        std::string report = (failure == CodingFailure::Read    ? "can't read "
                              : failure == CodingFailure::Write ? "can't write "
                                                                : "changed ") +
                             path;
        if (leftCoded)
            report += ": left " + CodedRangeText(*leftCoded);
        reports.push_back(report);
    }
    void ProgressBegun(std::int64_t lastBlock) override { begun.push_back(lastBlock); }
    void ProgressMade(const CodingProgress& progress) override
    {
        made.push_back(progress.block);
        shownName = std::string(progress.fileName);
        if (onProgress)
            onProgress(static_cast<int>(made.size()));
    }
    void ProgressEnded() override { ++ended; }
    bool ExitRequested() const override { return exitRequested; }

private:
    bool Ask(std::string question)
    {
        asked.push_back(std::move(question));
        return asked.size() <= answers.size() && answers[asked.size() - 1];
    }
};
