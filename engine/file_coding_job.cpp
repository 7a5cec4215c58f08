#include "engine/file_coding_job.h"

#include "engine/coding_paths.h"
#include "engine/file_identity.h"
#include "engine/in_place_coding.h"
#include "engine/job_files.h"
#include "engine/journal.h"
#include "engine/partly_coded_files.h"
#include "engine/read_ahead.h"
#include "engine/worker.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace {

enum class Overlap { Different, SameFile, SourceUnknown };

// Creating an existing destination truncates it, so it must first be known not to be the source.
Overlap CompareFiles(const std::string& source, const std::string& destination)
{
    const std::optional<FileIdentity> sourceId = IdentityOf(source);
    if (!sourceId)
        return Overlap::SourceUnknown;
    // A destination that cannot be probed (a folder, say) is not the source: creating it fails.
    // Nor is a link there, which the copy replaces: followed, a link planted in a shared
    // folder would have the user's own file coded in place.
    const std::optional<FileIdentity> destinationId = IdentityOfEntry(destination);
    return destinationId && SameFile(*sourceId, *destinationId) ? Overlap::SameFile : Overlap::Different;
}

// A file that an earlier failure left partly coded is coded again only when the user says so:
// coding it from the start would flip both parts.
bool MayCodeAgain(const std::string& source, CodingView& view)
{
    const std::optional<CodedRange> coded = FindPartlyCoded(source);
    if (!coded)
        return true;
    if (!view.MayCodeAgain(source, *coded))
        return false;
    ForgetPartlyCoded(source);
    return true;
}

// The coded copy, written under a temporary name in the destination folder and put in the
// destination's place only once complete: no half-written file ever carries the real name,
// and an earlier file of that name outlives every failure. Removed unless put in place.
class PendingCopy {
public:
    PendingCopy() = default;
    PendingCopy(const PendingCopy&) = delete;
    PendingCopy& operator=(const PendingCopy&) = delete;
    ~PendingCopy() { Discard(); }

    // Creates the temporary file in `folder` (which ends with a separator) and opens it.
    bool Create(const std::string& folder)
    {
        file_ = CreateFileIn(folder, path_);
        return file_.IsOpen();
    }
    bool IsOpen() const { return file_.IsOpen(); }
    JobFile& File() { return file_; }

    // Closes the copy and gives it the destination's name and the permissions a copy of
    // `source` gets, flushed first: a file system may make the new name durable before the
    // data, and a power cut then leaves a file of that name with part of the copy, or none of
    // it, where there was no file or the old one whole. The flush runs on a thread of its own
    // while `meanwhile` keeps the window answering.
    bool PutInPlaceOf(const std::string& destination, const JobFile& source, const std::function<void()>& meanwhile)
    {
        if (!GivePermissionsOf(source, file_))
            return false;
        Worker flusher;
        if (!flusher.Wait(flusher.Post([this] { return file_.Flush(); }), meanwhile))
            return false;
        file_.Close();
        if (!RenameOver(path_, destination))
            return false;
        path_.clear();
        return true;
    }
    void Discard()
    {
        file_.Close();
        if (!path_.empty())
            RemoveFile(path_);
        path_.clear();
    }

private:
    JobFile file_;
    std::string path_;
};

// The copy is read, coded and written a chunk at a time (ReadAheadChunkBlocks, which divides
// 256 and leaves room for two chunks in the coding buffer). The view is updated every 256
// blocks, always at the first block of a chunk, so the update still falls before that block
// is written. (In place, see in_place_coding.cpp.)
constexpr std::int64_t ProgressStepBlocks = 256;

// The open files of one job and what it needs to code them.
struct CodingFiles {
    JobFile source;
    PendingCopy copy;        // not open when coding in place
    std::uint64_t size = 0;
    std::string_view name;   // shown with the progress
    std::int64_t chunkBlocks = static_cast<std::int64_t>(ReadAheadChunkBlocks());
};

std::size_t ChunkBytes(const CodingFiles& files)
{
    return static_cast<std::size_t>(files.chunkBlocks) * BlockBytes;
}

// One pass over the file, a chunk at a time, carrying the coder's state.
struct Pass {
    std::uint64_t end;
    CoderState state;
    std::int64_t first = 0;  // block index of the current chunk

    std::uint64_t Offset() const { return static_cast<std::uint64_t>(first) * BlockBytes; }
};

enum class PassEnd { Complete, ReadFailed, WriteFailed, Closing };

// Bytes the chunk starting at block `first` holds within the pass: a full chunk up to the
// tail, which may be empty.
std::size_t ChunkLength(const Pass& pass, const CodingFiles& files)
{
    const std::uint64_t left = pass.end - pass.Offset();
    const std::size_t full = ChunkBytes(files);
    return left < full ? static_cast<std::size_t>(left) : full;
}

// Over the whole file a whole chunk is asked for, so a file grown since its size was taken is
// noticed. Nothing when the chunk is not all there.
unsigned char* ReadChunk(const Pass& pass, std::size_t length, ReadAhead& reader)
{
    std::size_t read = 0;
    unsigned char* const chunk = reader.Next(pass.Offset(), read);
    return read == length ? chunk : nullptr;
}

// Reads, codes and writes the pass's blocks from where it stands. The tail block is coded
// whole; only its bytes are written. Ends at the first shortfall: going on after a short read
// would misplace every later block. Progress is shown, and an exit request ends the pass.
PassEnd RunPass(Pass& pass, CodingFiles& files, CodingView& view)
{
    const std::int64_t lastBlock = static_cast<std::int64_t>(pass.end / BlockBytes);
    ReadAhead reader(files.source, ChunkBytes(files), pass.end);
    for (; pass.first <= lastBlock; pass.first += files.chunkBlocks) {
        const std::size_t length = ChunkLength(pass, files);
        unsigned char* const chunk = ReadChunk(pass, length, reader);
        if (!chunk)
            return PassEnd::ReadFailed;
        // Every block that holds data, the tail block whole.
        CodeChunk(chunk, (length + BlockBytes - 1) / BlockBytes, pass.state);
        if (pass.first % ProgressStepBlocks == 0)
            view.ProgressMade({pass.first, lastBlock, files.size, files.name});
        if (view.ExitRequested())
            return PassEnd::Closing;
        std::size_t written = 0;
        if (!files.copy.File().WriteAt(pass.Offset(), chunk, length, written))
            return PassEnd::WriteFailed;
        // The copy is flushed before it takes its name: handed to the disk as it is written,
        // little is left for that flush to wait for.
        files.copy.File().StartWriteBack(pass.Offset(), length);
    }
    return PassEnd::Complete;
}

// The forward pass over the whole file, with progress shown while there is data.
PassEnd CodeWithProgress(Pass& pass, CodingFiles& files, CodingView& view)
{
    if (files.size == 0)
        return PassEnd::Complete;
    view.ProgressBegun(static_cast<std::int64_t>(files.size / BlockBytes));
    const PassEnd end = RunPass(pass, files, view);
    view.ProgressEnded();
    return end;
}

// Into a destination folder the copy takes the destination's name only when complete; any
// failure or an exit request discards it. A source grown since its size was taken has a part
// the copy lacks.
bool CodeIntoCopy(CodingFiles& files, const std::string& source, const std::string& destination,
                  CoderValue value, CodingView& view)
{
    Pass pass{files.size, static_cast<CoderState>(value)};
    const PassEnd end = CodeWithProgress(pass, files, view);
    const std::optional<std::uint64_t> sizeNow = files.source.Size();
    const bool changed = sizeNow != files.size;
    const auto pump = [&view] { view.Waiting(); };
    if (end == PassEnd::Complete && !changed && files.copy.PutInPlaceOf(destination, files.source, pump))
        return true;
    files.copy.Discard();
    if (changed && end != PassEnd::Closing)
        view.ReportCantCode(CodingFailure::Changed, source, std::nullopt);
    else if (end == PassEnd::ReadFailed)
        view.ReportCantCode(CodingFailure::Read, source, std::nullopt);
    else if (end != PassEnd::Closing)
        view.ReportCantCode(CodingFailure::Write, destination, std::nullopt);
    return false;
}

// With a destination folder: asks before rewriting an existing destination and makes sure it
// can be replaced. When the destination is the source itself, `inPlace` is set: the file is
// then coded where it is. False when the job must end here; nothing has been changed.
bool CheckDestination(const std::string& source, const std::string& destination, bool& inPlace,
                      CodingView& view)
{
    if (!PathExists(destination))
        return true;
    if (!view.MayRewrite(destination))
        return false;
    switch (CompareFiles(source, destination)) {
    case Overlap::SameFile:
        inPlace = true;
        return true;
    case Overlap::SourceUnknown:  // it might be the destination: leave both alone
        view.ReportCantOpen(source);
        return false;
    case Overlap::Different:
        break;
    }
    // An existing destination that cannot be written (a folder, a read-only or locked file)
    // is refused before anything is coded.
    if (!CanRewrite(destination)) {
        view.ReportCantOpen(destination);
        return false;
    }
    return true;
}

// Copies left in a folder by a process that died go before the first copy made there.
void RemoveLeftCopiesOnce(const std::string& folder)
{
    static std::string cleaned;
    if (folder == cleaned)
        return;
    RemoveLeftCopies(folder);
    cleaned = folder;
}

// Opens the source with its size; not open when it can't be.
void Open(CodingFiles& files, const std::string& source, bool inPlace)
{
    files.source = inPlace ? OpenToRewrite(source) : OpenToRead(source);
    const std::optional<std::uint64_t> size = files.source.IsOpen() ? files.source.Size() : std::nullopt;
    if (!size)
        files.source.Close();
    files.size = size.value_or(0);
}

// Holds the open source against every other job on the machine: alone to rewrite it, shared
// to read it. False when another run holds it (reported).
bool Held(CodingFiles& files, const std::string& source, bool inPlace, CodingView& view)
{
    if (files.source.HoldForJob(inPlace) == Hold::Held)
        return true;
    files.source.Close();
    view.ReportBusy(source);
    return false;
}

bool OpenSource(CodingFiles& files, const std::string& source, bool inPlace, CodingView& view)
{
    Open(files, source, inPlace);
    if (!files.source.IsOpen()) {
        view.ReportCantOpen(source);
        return false;
    }
    return Held(files, source, inPlace, view);
}

// A file whose coding in place was cut short is repaired where it is, as the view chooses,
// before anything else is done with it. True when it was found (and `repaired` says whether
// the file is now whole), or when looking found a journal that must not be used (reported).
bool RepairedFirst(CodingFiles& files, const std::string& source, CoderValue value, CodingView& view, bool& repaired)
{
    repaired = false;
    switch (LookForInterruptedCoding({files.source, files.size, source, files.name}, view)) {
    case Lookup::None:
        return false;
    case Lookup::Refused:
        return true;
    case Lookup::Found:
        break;
    }
    files.source.Close();
    repaired = OpenSource(files, source, true, view) &&
               RepairInPlace({files.source, files.size, source, files.name}, value, view);
    return true;
}

} // namespace

bool FileCodingJob(const std::string& source, const std::string& destinationFolder,
                   CoderValue value, CodingView& view)
{
    CodingFiles files;
    files.name = CaptionFileName(source);
    bool repaired = false;
    // A copy of a file whose coding in place was cut short would be neither the original nor
    // coded: the file is repaired first, and not copied. Looked for only where the source
    // opens; one that doesn't is reported in its turn, after the destination's question.
    if (!destinationFolder.empty()) {
        Open(files, source, false);
        if (files.source.IsOpen() &&
            (!Held(files, source, false, view) || RepairedFirst(files, source, value, view, repaired)))
            return false;
    }
    // Coded in place, an interrupted coding is found where the job makes its own journal; a
    // file the session knows as partly coded is looked at first, so that its journal, if any,
    // settles it rather than the question.
    if (destinationFolder.empty()) {
        if (!OpenSource(files, source, true, view))
            return false;
        if (FindPartlyCoded(source) && RepairedFirst(files, source, value, view, repaired))
            return repaired;
    }
    if (!MayCodeAgain(source, view))
        return false;
    bool inPlace = destinationFolder.empty();
    const std::string destination =
        inPlace ? std::string() : DestinationPath(source, destinationFolder, NativePathSeparator);
    if (!inPlace && !CheckDestination(source, destination, inPlace, view))
        return false;

    // The source is opened before anything is created, so a source that cannot be read
    // leaves the destination folder as it was.
    if (inPlace != destinationFolder.empty())
        files.source.Close();  // the destination is the source itself: opened again to rewrite it
    if (!files.source.IsOpen() && !OpenSource(files, source, inPlace, view))
        return false;
    if (!inPlace)
        RemoveLeftCopiesOnce(destinationFolder);
    if (!inPlace && !files.copy.Create(destinationFolder)) {
        view.ReportCantOpen(destination);
        return false;
    }

    return inPlace ? CodeInPlaceJournaled({files.source, files.size, source, files.name}, value, view)
                   : CodeIntoCopy(files, source, destination, value, view);
}
