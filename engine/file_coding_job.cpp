#include "engine/file_coding_job.h"

#include "engine/coding_paths.h"
#include "engine/file_identity.h"
#include "engine/partly_coded_files.h"
#include "toolkit/handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

bool ExitRequested = false;

namespace {

using tk::FileHandle;

FileHandle OpenFile(const std::string& path, DWORD access, DWORD creation, DWORD flags)
{
    return FileHandle(
        CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, creation, flags, nullptr));
}

enum class Overlap { Different, SameFile, SourceUnknown };

// Creating an existing destination truncates it, so it must first be known not to be the source.
Overlap CompareFiles(const std::string& source, const std::string& destination)
{
    const std::optional<FileIdentity> sourceId = IdentityOf(source);
    if (!sourceId)
        return Overlap::SourceUnknown;
    // A destination that cannot be probed (a folder, say) is not the source: creating it fails.
    const std::optional<FileIdentity> destinationId = IdentityOf(destination);
    return destinationId && SameFile(*sourceId, *destinationId) ? Overlap::SameFile : Overlap::Different;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool AskRewrite(const std::string& path, CodingView& view)
{
    return view.ShowMessageBox("File already exists\r" + path + "\r\rRewrite it?", "Warning",
                               MB_YESNOCANCEL | MB_ICONWARNING) == IDYES;
}

void ReportCantOpen(const std::string& path, CodingView& view)
{
    view.ShowMessageBox("Can't open file\r" + path, "Error", MB_OK | MB_ICONERROR);
}

constexpr const char* CantRead = "Can't read file\r";
constexpr const char* CantWrite = "Can't write file\r";

// A file that an earlier failure left partly coded is coded again only when the user says so:
// coding it from the start would flip both parts.
bool MayCodeAgain(const std::string& source, CodingView& view)
{
    const std::optional<CodedRange> coded = FindPartlyCoded(source);
    if (!coded)
        return true;
    if (view.ShowMessageBox("File is partly coded\r" + source + "\r" + CodedRangeText(*coded) +
                                "\r\rCode it again from the start?",
                            "Warning", MB_YESNOCANCEL | MB_ICONWARNING) != IDYES)
        return false;
    ForgetPartlyCoded(source);
    return true;
}

// An existing destination that cannot be written (a folder, a read-only or locked file) is
// refused before anything is coded; opening it for writing changes nothing in it.
bool DestinationWritable(const std::string& destination)
{
    return static_cast<bool>(OpenFile(destination, GENERIC_WRITE, OPEN_EXISTING, 0));
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

    // Creates the temporary file in `folder` (which ends with a backslash) and opens it.
    bool Create(const std::string& folder)
    {
        char name[MAX_PATH];
        if (!GetTempFileNameA(folder.c_str(), "vrn", 0, name))
            return false;
        path_ = name;
        // The file was just made empty. Emptying it again as it is opened would have the file
        // system (ext4, under Wine) allocate and start writing the whole copy when it is
        // closed: a quarter of a second a GiB, with the window unanswered.
        file_ = OpenFile(path_, GENERIC_WRITE, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
        LARGE_INTEGER size;
        return file_ && GetFileSizeEx(file_.get(), &size) && (size.QuadPart == 0 || SetEndOfFile(file_.get()));
    }
    bool IsOpen() const { return static_cast<bool>(file_); }
    HANDLE Get() const { return file_.get(); }

    // Closes the copy and gives it the destination's name, replacing a file of that name.
    bool PutInPlaceOf(const std::string& destination)
    {
        file_.reset();
        if (!MoveFileExA(path_.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING))
            return false;
        path_.clear();
        return true;
    }
    void Discard()
    {
        file_.reset();
        if (!path_.empty())
            DeleteFileA(path_.c_str());
        path_.clear();
    }

private:
    FileHandle file_;
    std::string path_;
};

// The open files of one job and what it needs to code them.
struct CodingFiles {
    FileHandle source;
    PendingCopy copy;        // not open when coding in place
    std::uint64_t size = 0;
    std::string_view name;   // shown in the caption
    std::int64_t chunkBlocks = 0;
};

// The file is read, coded and written a whole buffer (a chunk) at a time. The window is
// updated every 256 blocks, always at the first block of a chunk, so the update still falls
// before that block is written.
constexpr std::int64_t ProgressStepBlocks = 256;
constexpr std::int64_t InPlaceChunkBlocks = BufferBlocks;
constexpr std::int64_t DestinationChunkBlocks = 16;
static_assert(ProgressStepBlocks % InPlaceChunkBlocks == 0 && ProgressStepBlocks % DestinationChunkBlocks == 0,
              "updates fall on chunk starts");
static_assert(InPlaceChunkBlocks <= BufferBlocks && DestinationChunkBlocks <= BufferBlocks);

DWORD ChunkBytes(const CodingFiles& files)
{
    return static_cast<DWORD>(files.chunkBlocks * static_cast<std::int64_t>(BlockBytes));
}

// One pass over the first `end` bytes of the file, a chunk at a time, carrying the coder's
// state. `done` counts the bytes coded and written: in place, the part a failure leaves coded.
struct Pass {
    std::uint64_t end;
    CoderState state;
    std::int64_t first = 0;  // block index of the current chunk
    std::uint64_t done = 0;
    bool holding = false;    // the buffer holds the current chunk, coded but not yet written
    bool exact = false;      // reads ask for the pass's bytes only (undoing a coded part)
};

enum class PassEnd { Complete, ReadFailed, WriteFailed, Closing };

// Bytes the chunk starting at block `first` holds within the pass: a full chunk up to the
// tail, which may be empty.
DWORD ChunkLength(const Pass& pass, const CodingFiles& files)
{
    const std::uint64_t start = static_cast<std::uint64_t>(pass.first) * BlockBytes;
    const std::uint64_t full = ChunkBytes(files);
    return static_cast<DWORD>(pass.end - start < full ? pass.end - start : full);
}

// Caption, progress and pending messages; waits here while the Pause/Resume button is down,
// blocked until a message comes, so a pause costs no processor time.
void ShowProgressAndWait(std::int64_t index, std::int64_t lastBlock, const CodingFiles& files,
                         CodingView& view)
{
    view.SetProgressPosition(index + 1);
    view.SetCaption(ProgressCaption(index, lastBlock, files.size, files.name));
    view.ProcessMessages();
    while (view.PauseButtonDown() && !ExitRequested) {
        view.WaitForMessages();
        view.ProcessMessages();
    }
}

bool ReadChunk(const Pass& pass, DWORD length, const CodingFiles& files)
{
    // Over the whole file a whole chunk is asked for, so a file grown since its size was
    // taken is noticed.
    const DWORD wanted = pass.exact ? length : ChunkBytes(files);
    DWORD read = 0;
    return ReadFile(files.source.get(), CodingBuffer, wanted, &read, nullptr) && read == length;
}

// `written` counts what reached the file, also when the write fails part way.
bool WriteChunk(const Pass& pass, DWORD length, const CodingFiles& files, DWORD& written)
{
    written = 0;
    HANDLE target = files.copy.IsOpen() ? files.copy.Get() : files.source.get();
    if (!files.copy.IsOpen()) {
        LARGE_INTEGER offset;
        offset.QuadPart = pass.first * static_cast<std::int64_t>(BlockBytes);
        if (!SetFilePointerEx(target, offset, nullptr, FILE_BEGIN))
            return false;
    }
    const bool wrote = WriteFile(target, CodingBuffer, length, &written, nullptr);
    written = std::min<DWORD>(written, length);
    return wrote && written == length;
}

// Reads, codes and writes the pass's blocks from where it stands. The tail block is coded
// whole; only its bytes are written. Ends at the first shortfall: going on after a short read
// would misplace every later block. With a view, the window is kept up to date, a pause is
// waited out, and a confirmed close ends the pass with the current chunk held unwritten.
PassEnd RunPass(Pass& pass, const CodingFiles& files, CodingView* view)
{
    const std::int64_t lastBlock = static_cast<std::int64_t>(pass.end / BlockBytes);
    for (; pass.first <= lastBlock; pass.first += files.chunkBlocks) {
        const DWORD length = ChunkLength(pass, files);
        if (!pass.holding) {
            if (!ReadChunk(pass, length, files))
                return PassEnd::ReadFailed;
            // Every block that holds data, the tail block whole.
            CodeChunk(CodingBuffer, (length + BlockBytes - 1) / BlockBytes, pass.state);
            pass.holding = true;
            if (view && pass.first % ProgressStepBlocks == 0)
                ShowProgressAndWait(pass.first, lastBlock, files, *view);
            if (view && ExitRequested)
                return PassEnd::Closing;
        }
        pass.holding = false;
        DWORD written = 0;
        const bool whole = WriteChunk(pass, length, files, written);
        pass.done += written;
        if (!whole)
            return PassEnd::WriteFailed;
    }
    return PassEnd::Complete;
}

const char* FailureText(PassEnd end)
{
    return end == PassEnd::ReadFailed ? CantRead : CantWrite;
}

// The forward pass over the whole file, with the progress bar shown while there is data.
PassEnd CodeWithProgress(Pass& pass, const CodingFiles& files, CodingView& view)
{
    if (files.size == 0)
        return PassEnd::Complete;
    view.SetProgressRange(static_cast<std::int64_t>(files.size / BlockBytes));
    view.SetProgressPosition(0);
    view.ShowProgress(true);
    const PassEnd end = RunPass(pass, files, &view);
    view.ShowProgress(false);
    return end;
}

// Codes the first `coded` bytes of a file coded in place once more, which restores them: the
// keystream is its own inverse. Without a failure to report, reports only when the undo fails.
// A file that stays partly coded is reported with the part still coded, and remembered.
void UndoInPlace(std::uint64_t coded, CoderValue value, const CodingFiles& files,
                 const std::string& path, const char* failure, CodingView& view)
{
    Pass undo{coded, static_cast<CoderState>(value)};
    undo.exact = true;
    PassEnd end = PassEnd::Complete;
    if (coded != 0) {
        const LARGE_INTEGER start{};
        end = SetFilePointerEx(files.source.get(), start, nullptr, FILE_BEGIN)
                  ? RunPass(undo, files, nullptr)
                  : PassEnd::ReadFailed;
    }
    std::string text = (failure ? failure : FailureText(end)) + path;
    if (end != PassEnd::Complete) {
        const CodedRange left{undo.done, coded, files.size};
        RememberPartlyCoded(path, left);
        text += "\rThe file is left partly coded:\r" + CodedRangeText(left);
    } else if (!failure) {
        return;
    }
    view.ShowMessageBox(text, "Error", MB_OK | MB_ICONERROR);
}

// In place, no file is left half coded: a failure undoes what was coded, and a confirmed close
// either finishes the file or undoes it, whichever writes fewer bytes.
bool CodeInPlace(CodingFiles& files, const std::string& source, CoderValue value, CodingView& view)
{
    Pass pass{files.size, static_cast<CoderState>(value)};
    PassEnd end = CodeWithProgress(pass, files, view);
    if (end == PassEnd::Closing) {
        if (files.size - pass.done > pass.done) {
            UndoInPlace(pass.done, value, files, source, nullptr, view);
            return false;
        }
        end = RunPass(pass, files, nullptr);
    }
    if (end == PassEnd::Complete)
        return true;
    UndoInPlace(pass.done, value, files, source, FailureText(end), view);
    return false;
}

// Into a destination folder the copy takes the destination's name only when complete; any
// failure or a confirmed close discards it.
bool CodeIntoCopy(CodingFiles& files, const std::string& source, const std::string& destination,
                  CoderValue value, CodingView& view)
{
    Pass pass{files.size, static_cast<CoderState>(value)};
    const PassEnd end = CodeWithProgress(pass, files, view);
    if (end == PassEnd::Complete && files.copy.PutInPlaceOf(destination))
        return true;
    files.copy.Discard();
    if (end == PassEnd::ReadFailed)
        view.ShowMessageBox(CantRead + source, "Error", MB_OK | MB_ICONERROR);
    else if (end != PassEnd::Closing)
        view.ShowMessageBox(CantWrite + destination, "Error", MB_OK | MB_ICONERROR);
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
    if (!AskRewrite(destination, view))
        return false;
    switch (CompareFiles(source, destination)) {
    case Overlap::SameFile:
        inPlace = true;
        return true;
    case Overlap::SourceUnknown:  // it might be the destination: leave both alone
        ReportCantOpen(source, view);
        return false;
    case Overlap::Different:
        break;
    }
    if (!DestinationWritable(destination)) {
        ReportCantOpen(destination, view);
        return false;
    }
    return true;
}

}  // namespace

bool FileCodingJob(const std::string& source, const std::string& destinationFolder,
                   CoderValue value, CodingView& view)
{
    if (!MayCodeAgain(source, view))
        return false;
    bool inPlace = destinationFolder.empty();
    const std::string destination = inPlace ? std::string() : DestinationPath(source, destinationFolder);
    if (!inPlace && !CheckDestination(source, destination, inPlace, view))
        return false;

    // The source is opened before anything is created, so a source that cannot be read
    // leaves the destination folder as it was.
    CodingFiles files;
    files.name = CaptionFileName(source);
    files.source = inPlace ? OpenFile(source, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING,
                                      FILE_FLAG_RANDOM_ACCESS)
                           : OpenFile(source, GENERIC_READ, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN);
    LARGE_INTEGER size;
    if (!files.source || !GetFileSizeEx(files.source.get(), &size)) {
        ReportCantOpen(source, view);
        return false;
    }
    if (!inPlace && !files.copy.Create(destinationFolder)) {
        ReportCantOpen(destination, view);
        return false;
    }
    files.size = static_cast<std::uint64_t>(size.QuadPart);
    files.chunkBlocks = inPlace ? InPlaceChunkBlocks : DestinationChunkBlocks;

    const bool coded = inPlace ? CodeInPlace(files, source, value, view)
                               : CodeIntoCopy(files, source, destination, value, view);
    files.source.reset();
    view.SetCaption("Vorrin");
    return coded;
}
