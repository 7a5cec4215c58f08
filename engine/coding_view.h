#pragma once
// What a file job asks of whoever started it, and what it tells them: the window, the
// console, a benchmark or a test's fake. The job decides; the view puts it in its own words.
#include "engine/partly_coded_files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What a job that could not code its file failed at.
enum class CodingFailure { Read, Write };

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

    virtual void ReportCantOpen(const std::string& path) = 0;
    // `path` could not be read or written; with `leftCoded` the file stays partly coded.
    virtual void ReportCantCode(CodingFailure failure, const std::string& path,
                                const std::optional<CodedRange>& leftCoded) = 0;

    // Progress over a file with data: begun, then every 256 blocks, then ended. At each
    // update the user may act (and may hold processing paused there); the job then looks
    // at ExitRequested.
    virtual void ProgressBegun(std::int64_t lastBlock) = 0;
    virtual void ProgressMade(const CodingProgress& progress) = 0;
    virtual void ProgressEnded() = 0;

    // The user wants to stop now (the window closed, Ctrl+C): the job finishes its file or
    // undoes it, whichever touches fewer bytes, and returns.
    virtual bool ExitRequested() const = 0;
};
