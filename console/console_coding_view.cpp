#include "console/console_coding_view.h"

#include "console/console_output.h"
#include "console/interrupt.h"
#include "engine/keystream_coder.h"

namespace {

// Progress is redrawn at most this often: the time is the coding's, not the terminal's.
constexpr std::chrono::milliseconds RedrawEvery{200};

// "123.4": tenths of a megabyte (10^6 bytes) per second, without floating-point formatting.
std::string MegabytesPerSecond(std::uint64_t bytes, std::chrono::steady_clock::duration elapsed)
{
    const auto microseconds = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
    if (microseconds <= 0)
        return "-";
    const std::uint64_t tenths = bytes * 10 / static_cast<std::uint64_t>(microseconds);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

// The end of a long name, so the line fits a terminal's width: cut before a character, not
// inside one (a UTF-8 continuation byte is 10xxxxxx).
std::string ShortName(std::string_view name)
{
    constexpr std::size_t Longest = 40;
    if (name.size() <= Longest)
        return std::string(name);
    std::size_t cut = name.size() - Longest;
    while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        ++cut;
    return "..." + std::string(name.substr(cut));
}

} // namespace

void ConsoleCodingView::StartFile()
{
    failed_ = false;
    skipped_ = false;
}

FileOutcome ConsoleCodingView::Outcome(bool coded) const
{
    if (coded)
        return FileOutcome::Coded;
    // Stopped by Ctrl+C without a failure: the file was left as it was.
    return failed_ ? FileOutcome::Failed : FileOutcome::Skipped;
}

bool ConsoleCodingView::MayRewrite(const std::string& destination)
{
    if (overwrite_)
        return true;
    Say("vorrinc: " + destination + ": exists; left alone (--overwrite replaces it)");
    skipped_ = true;
    return false;
}

bool ConsoleCodingView::MayCodeAgain(const std::string& source, const CodedRange& coded)
{
    Say("vorrinc: " + source + ": partly coded (" + CodedRangeText(coded) + "); not coded again");
    skipped_ = true;
    return false;
}

RepairChoice ConsoleCodingView::ChooseRepair(const std::string& source, const InterruptedFile& found)
{
    // The user asked for a copy: their file is not to change behind their back.
    if (copying_) {
        Say("vorrinc: " + source + ": its coding in place was cut short (" + std::to_string(found.codedBytes) + " of " +
            std::to_string(found.size) + " bytes coded); not copied, nothing changed. Finish it first (the same "
            "command without --into) or restore it (with --restore, without --into)");
        failed_ = true;
        return RepairChoice::Leave;
    }
    Say("vorrinc: " + source + ": its coding was cut short (" + std::to_string(found.codedBytes) + " of " +
        std::to_string(found.size) + " bytes coded); " + (restore_ ? "restoring it" : "finishing it"));
    return restore_ ? RepairChoice::Restore : RepairChoice::Finish;
}

void ConsoleCodingView::ReportWrongValue(const std::string& source, const std::string& journalPath)
{
    Say("vorrinc: " + source + ": was being coded with another value (journal " + journalPath +
        "); nothing changed");
    failed_ = true;
}

void ConsoleCodingView::ReportDamaged(const std::string& source, const InterruptedFile& left)
{
    Say("vorrinc: " + source + ": " + DamagedRangesText(left.damaged) +
        " (neither as they were nor coded) and are left as they are");
    failed_ = true;
}

void ConsoleCodingView::ReportNothingToRestore(const std::string& source)
{
    Say("vorrinc: " + source + ": no coding of it was cut short; nothing to restore, left as it is");
    skipped_ = true;
}

void ConsoleCodingView::ReportBusy(const std::string& source)
{
    Say("vorrinc: " + source + ": is being coded by another run; left alone");
    skipped_ = true;
}

void ConsoleCodingView::ReportJournalTrouble(const std::string& source, const JournalTrouble& trouble)
{
    std::string why;
    switch (trouble.problem) {
    case JournalProblem::Damaged:
        why = "its journal " + trouble.journalPath +
              " is damaged; the file may be partly coded and is left as it is (restore it from a backup, "
              "or remove the journal if you know the file is whole)";
        break;
    case JournalProblem::OtherFile:
        why = "the journal " + trouble.journalPath +
              " was made for another file (or for this one before it was copied, moved to another disk or "
              "changed); nothing changed";
        break;
    case JournalProblem::NotTrusted:
        why = "the journal " + trouble.journalPath + " was made by another user (user " +
              std::to_string(trouble.owner) + "); not trusted, nothing changed";
        break;
    case JournalProblem::CantMark:
        why = "has several names (hard links) and its file system can't mark it with its journal " +
              trouble.journalPath + "; not coded in place (--into codes a copy)";
        break;
    }
    Say("vorrinc: " + source + ": " + why);
    failed_ = true;
}

void ConsoleCodingView::ReportCantOpen(const std::string& path)
{
    Say("vorrinc: " + path + ": can't open");
    failed_ = true;
}

void ConsoleCodingView::ReportCantCode(CodingFailure failure, const std::string& path,
                                       const std::optional<CodedRange>& leftCoded)
{
    std::string line = "vorrinc: " + path +
                       (failure == CodingFailure::Read    ? ": can't read"
                        : failure == CodingFailure::Write ? ": can't write"
                                                          : ": changed size while it was coded (another program writes it)");
    line += leftCoded ? "; the file is left partly coded: " + CodedRangeText(*leftCoded) : "; nothing changed";
    Say(line);
    failed_ = true;
}

void ConsoleCodingView::ProgressBegun(std::int64_t)
{
    started_ = std::chrono::steady_clock::now();
    shown_ = started_ - RedrawEvery;
}

void ConsoleCodingView::ProgressMade(const CodingProgress& progress)
{
    if (!showProgress_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - shown_ < RedrawEvery)
        return;
    shown_ = now;
    const std::int64_t percent = progress.lastBlock > 0 ? progress.block * 100 / progress.lastBlock : 100;
    const std::uint64_t done = static_cast<std::uint64_t>(progress.block) * BlockBytes;
    std::string line = std::to_string(percent) + "% " + ShortName(progress.fileName);
    if (done != 0)
        line += "  " + MegabytesPerSecond(done, now - started_) + " MB/s";
    const std::size_t width = line.size();
    if (width < progressWidth_)
        line.append(progressWidth_ - width, ' ');
    progressWidth_ = width;
    line.insert(line.begin(), '\r');
    WriteError(line);
}

void ConsoleCodingView::ProgressEnded()
{
    ClearProgress();
}

bool ConsoleCodingView::ExitRequested() const
{
    return Interrupted();
}

void ConsoleCodingView::Say(const std::string& line)
{
    ClearProgress();
    WriteError(line + "\n");
}

void ConsoleCodingView::ClearProgress()
{
    if (progressWidth_ == 0)
        return;
    std::string blank(progressWidth_ + 2, ' ');
    blank.front() = '\r';
    blank.back() = '\r';
    WriteError(blank);
    progressWidth_ = 0;
}
