#include "engine/file_coding_job.h"

#include "engine/coding_paths.h"
#include "engine/file_identity.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

bool ExitRequested = false;

namespace {

// Owns one file handle and closes it exactly once.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(FileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    void Close()
    {
        if (IsOpen())
            CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

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

// The open files of one job and what it needs to code them.
struct CodingFiles {
    FileHandle source;
    FileHandle destination;  // not open when coding in place
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

// Bytes the chunk starting at block `first` must hold: a full chunk up to the tail, which
// may be empty.
DWORD ChunkLength(std::int64_t first, const CodingFiles& files)
{
    const std::uint64_t start = static_cast<std::uint64_t>(first) * BlockBytes;
    const std::uint64_t full = ChunkBytes(files);
    return static_cast<DWORD>(files.size - start < full ? files.size - start : full);
}

// Caption, progress and pending messages; waits here while the Pause/Resume button is down.
void ShowProgressAndWait(std::int64_t index, std::int64_t lastBlock, const CodingFiles& files,
                         CodingView& view)
{
    view.SetProgressPosition(index + 1);
    view.SetCaption(ProgressCaption(index, lastBlock, files.size, files.name));
    view.ProcessMessages();
    while (view.PauseButtonDown() && !ExitRequested)
        view.ProcessMessages();
}

bool WriteChunk(std::int64_t first, DWORD length, const CodingFiles& files)
{
    HANDLE target = files.destination.IsOpen() ? files.destination.Get() : files.source.Get();
    if (!files.destination.IsOpen()) {
        LARGE_INTEGER offset;
        offset.QuadPart = first * static_cast<std::int64_t>(BlockBytes);
        if (!SetFilePointerEx(target, offset, nullptr, FILE_BEGIN))
            return false;
    }
    DWORD written = 0;
    return WriteFile(target, CodingBuffer, length, &written, nullptr) && written == length;
}

// Reads, codes and writes blocks 0..L, a chunk at a time. The tail block is coded whole; only
// its bytes are written. Stops at the first shortfall: going on after a short read would
// misplace every later block, and the result is false anyway. A confirmed close leaves before
// the current chunk is written; the file is then not coded whole.
bool CodeBlocks(CodingFiles& files, CoderState state, CodingView& view)
{
    const std::int64_t lastBlock = static_cast<std::int64_t>(files.size / BlockBytes);
    for (std::int64_t first = 0; first <= lastBlock; first += files.chunkBlocks) {
        const DWORD length = ChunkLength(first, files);
        DWORD read = 0;
        // A whole chunk is asked for, so a file grown since its size was taken is noticed.
        if (!ReadFile(files.source.Get(), CodingBuffer, ChunkBytes(files), &read, nullptr) ||
            read != length)
            return false;
        for (DWORD offset = 0; offset < length; offset += BlockBytes)
            CodeBlock(CodingBuffer + offset, state);
        if (first % ProgressStepBlocks == 0)
            ShowProgressAndWait(first, lastBlock, files, view);
        if (ExitRequested || !WriteChunk(first, length, files))
            return false;
    }
    return true;
}

bool CodeOpenFiles(CodingFiles& files, CoderValue value, CodingView& view)
{
    if (files.size == 0)
        return true;
    view.SetProgressRange(static_cast<std::int64_t>(files.size / BlockBytes));
    view.SetProgressPosition(0);
    view.ShowProgress(true);
    const bool coded = CodeBlocks(files, static_cast<CoderState>(value), view);
    view.ShowProgress(false);
    return coded;
}

// With a destination folder: asks before rewriting an existing destination and creates it.
// When the destination is the source itself, nothing is created and `inPlace` is set: the
// file is then coded where it is. False when the job must end here.
bool OpenDestination(const std::string& source, const std::string& destinationFolder,
                     CodingFiles& files, bool& inPlace, CodingView& view)
{
    const std::string destination = DestinationPath(source, destinationFolder);
    if (PathExists(destination)) {
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
    }
    files.destination =
        OpenFile(destination, GENERIC_WRITE, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN);
    if (!files.destination.IsOpen()) {
        ReportCantOpen(destination, view);
        return false;
    }
    return true;
}

}  // namespace

bool FileCodingJob(const std::string& source, const std::string& destinationFolder,
                   CoderValue value, CodingView& view)
{
    CodingFiles files;
    files.name = CaptionFileName(source);
    bool inPlace = destinationFolder.empty();
    if (!inPlace && !OpenDestination(source, destinationFolder, files, inPlace, view))
        return false;

    files.source = inPlace ? OpenFile(source, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING,
                                      FILE_FLAG_RANDOM_ACCESS)
                           : OpenFile(source, GENERIC_READ, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN);
    LARGE_INTEGER size;
    if (!files.source.IsOpen() || !GetFileSizeEx(files.source.Get(), &size)) {
        ReportCantOpen(source, view);
        return false;
    }
    files.size = static_cast<std::uint64_t>(size.QuadPart);
    files.chunkBlocks = files.destination.IsOpen() ? DestinationChunkBlocks : InPlaceChunkBlocks;

    const bool coded = CodeOpenFiles(files, value, view);
    files.source.Close();
    files.destination.Close();
    view.SetCaption("Vorrin");
    return coded;
}
