#pragma once
// What a file job asks of whoever started it, and what it tells them: the window, the
// console, a benchmark or a test's fake. The job decides; the view puts it in its own words.
#include "engine/partly_coded_files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a job that could not code its file failed at. Changed: another program grew or
// shrank the file while it was coded.
enum class CodingFailure { Read, Write, Changed };

// Why a journal found for a file is not used; the file is left as it is.
enum class JournalProblem {
    Damaged,     // it can't be read whole: the file may be partly coded
    OtherFile,   // it was made for another file, or for this one at another size
    NotTrusted,  // another user made it
    CantMark     // the file has several names and its file system can't mark it
};
struct JournalTrouble {
    JournalProblem problem;
    std::string journalPath;
    std::uint32_t owner = 0;  // NotTrusted: who made it
};

// A file whose coding in place was cut short (the process died, the power went), as the
// journal beside it and the value given now show it.
struct InterruptedFile {
    std::string journalPath;
    std::uint64_t size = 0;
    std::uint64_t codedBytes = 0;           // bytes that the value given now finds coded
    std::vector<CodedRange> damaged;        // sectors that are neither as they were nor coded
};

// What to do with an interrupted file: code the rest, restore what was coded, or leave the
// file and its journal as they are.
enum class RepairChoice { Finish, Restore, Leave };

// Where the coding of a file stands: block `block` of 0..lastBlock is coded, not yet written.
struct CodingProgress {
    std::int64_t block;
    std::int64_t lastBlock;
    std::uint64_t size;
    std::string_view fileName;
};

class CodingView {
public:
    virtual ~CodingView() = default;

    // May an existing file at the destination be replaced by the coded copy?
    virtual bool MayRewrite(const std::string& destination) = 0;
    // A failure left this file partly coded: may it be coded again from the start?
    virtual bool MayCodeAgain(const std::string& source, const CodedRange& coded) = 0;
    // The journal beside `source` says its coding was cut short: what is to be done?
    virtual RepairChoice ChooseRepair(const std::string& source, const InterruptedFile& found) = 0;
    // Only files whose coding was cut short are to be restored; none is coded afresh.
    virtual bool RestoresOnly() const { return false; }
    // With RestoresOnly: `source` has no interrupted coding, and was left as it is.
    virtual void ReportNothingToRestore(const std::string&) {}

    virtual void ReportCantOpen(const std::string& path) = 0;
    // Another run holds `source`: it is being coded (or copied) there.
    virtual void ReportBusy(const std::string& source) = 0;
    // A journal found for `source` is not to be used: nothing was changed.
    virtual void ReportJournalTrouble(const std::string& source, const JournalTrouble& trouble) = 0;
    // The journal beside `source` does not fit the value given now: nothing was changed.
    virtual void ReportWrongValue(const std::string& source, const std::string& journalPath) = 0;
    // A repair left `left.damaged` as it found them (neither as they were nor coded); the rest
    // of the file is now as the choice asked, and the journal is gone.
    virtual void ReportDamaged(const std::string& source, const InterruptedFile& left) = 0;
    // `path` could not be read or written; with `leftCoded` the file stays partly coded.
    virtual void ReportCantCode(CodingFailure failure, const std::string& path,
                                const std::optional<CodedRange>& leftCoded) = 0;

    // Progress over a file with data: begun, then every 256 blocks, then ended. At each
    // update the user may act (and may hold processing paused there); the job then looks
    // at ExitRequested.
    virtual void ProgressBegun(std::int64_t lastBlock) = 0;
    virtual void ProgressMade(const CodingProgress& progress) = 0;
    virtual void ProgressEnded() = 0;
    // Between updates, while the job waits for the disk: the user may act, nothing is shown.
    virtual void Waiting() {}

    // The user wants to stop now (the window closed, Ctrl+C): the job finishes its file or
    // undoes it, whichever touches fewer bytes, and returns.
    virtual bool ExitRequested() const = 0;
};
