#pragma once
// The few file operations a file job makes, over the platform's own calls: Win32 on Windows
// (job_files_win32.cpp), POSIX elsewhere (job_files_posix.cpp). Paths are 8-bit text, as
// the user gave them (UTF-8 where the system speaks it).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

// The separator between a folder and a name on this system.
#ifdef _WIN32
inline constexpr char NativePathSeparator = '\\';
#else
inline constexpr char NativePathSeparator = '/';
#endif

// Which file an open file is, whatever name reached it: its volume (device) and its number
// there, how many names it has (hard links), and its owner (POSIX; 0 on Windows, whose
// owners are not compared).
struct OpenFileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint32_t links = 1;
    std::uint32_t owner = 0;
};

// Whether the open file is held by this job, or already by another run of ours.
enum class Hold { Held, Busy };

enum class Renamed { Done, Exists, Failed };

// One open file, closed exactly once.
class JobFile {
public:
    JobFile() = default;
    // Every file layer moves a file the same way: the handle changes hands, closed once.
    JobFile(JobFile&& other) noexcept
        : handle_(std::exchange(other.handle_, Closed)), position_(other.position_) {}
    JobFile& operator=(JobFile&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, Closed);
            position_ = other.position_;
        }
        return *this;
    }
    JobFile(const JobFile&) = delete;
    JobFile& operator=(const JobFile&) = delete;
    ~JobFile() { Close(); }

    bool IsOpen() const { return handle_ != Closed; }
    std::optional<std::uint64_t> Size() const;
    // Reads up to `bytes` from `offset`; `read` counts what came, less than asked only at
    // the end of the file.
    bool ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t bytes, std::size_t& read);
    // Writes `bytes` at `offset`; `written` counts what reached the file, also on failure.
    bool WriteAt(std::uint64_t offset, const unsigned char* buffer, std::size_t bytes,
                 std::size_t& written);
    // Makes what was written durable, through the system's caches to the disk.
    bool Flush();
    // Starts writing [offset, offset + bytes) out to the disk without waiting for it, so that
    // the disk is kept busy between flushes. Makes nothing durable; does nothing where the
    // system has no such call.
    void StartWriteBack(std::uint64_t offset, std::size_t bytes);
    // Makes the file's own attributes durable too (its mark, see MarkJournal), not only its data.
    bool FlushAll();
    std::optional<OpenFileIdentity> Identity() const;
    // Holds the file against every other job on the machine until it is closed: exclusive for
    // one that rewrites it, shared for one that reads it. The system lets go when the process
    // dies. Windows holds a file by the sharing of its open, so this is always Held there.
    Hold HoldForJob(bool exclusive);
    void Close();

private:
    static constexpr std::intptr_t Closed = -1;  // INVALID_HANDLE_VALUE, or no descriptor
    static constexpr std::uint64_t Unknown = UINT64_MAX;

    explicit JobFile(std::intptr_t handle) : handle_(handle) {}
    bool MoveTo(std::uint64_t offset);

    std::intptr_t handle_ = Closed;  // a HANDLE or a descriptor
    std::uint64_t position_ = 0;     // Win32: where the next read or write goes

    friend JobFile OpenToRead(const std::string& path);
    friend JobFile OpenToRewrite(const std::string& path);
    friend JobFile CreateFileIn(const std::string& folder, std::string& path);
    friend bool GivePermissionsOf(const JobFile& source, JobFile& copy);
    friend JobFile CreateNewFile(const std::string& path, const JobFile& like);
    friend Renamed RenameNoReplace(JobFile& file, const std::string& from, const std::string& to);
    friend JobFile ReopenToRead(JobFile& file);
    friend JobFile OpenJournalFile(const std::string& path);
    friend std::string ResolvedPath(JobFile& file, const std::string& path);
    friend std::optional<OpenFileIdentity> IdentityAt(const JobFile& file, const std::string& resolved);
    friend std::optional<std::string> ReadJournalMark(JobFile& file, const std::string& resolved);
    friend bool MarkJournal(JobFile& file, const std::string& resolved, const std::string& journal);
    friend void UnmarkJournal(JobFile& file, const std::string& resolved);
};

// An existing file, to be read from start to end; others may read it meanwhile.
JobFile OpenToRead(const std::string& path);
// An existing file, to be read and written back in place; others may read it meanwhile.
JobFile OpenToRewrite(const std::string& path);
// The same open file again, to be read on another thread while `file` is written: a handle
// of its own, with its own position. Closed when the system has none to give.
JobFile ReopenToRead(JobFile& file);
// A new, empty file of a fresh name in `folder` (which ends with a separator), for writing;
// `path` receives its name (see CopyFileName). While it is open, RemoveLeftCopies leaves it.
// On POSIX it is readable by its owner alone until GivePermissionsOf.
JobFile CreateFileIn(const std::string& folder, std::string& path);
// Gives a copy made by CreateFileIn the permissions a copy of `source` gets, before it takes
// its name: on POSIX the source's permission bits less the umask, set-user-ID and
// set-group-ID dropped, as cp gives them; on Windows the folder's, as the shell's copy gets,
// so nothing is done there.
bool GivePermissionsOf(const JobFile& source, JobFile& copy);
// Removes the files that CreateFileIn made in `folder` and that no process holds open: copies
// left by a process that died (on POSIX, only the current user's).
void RemoveLeftCopies(const std::string& folder);
// A new, empty file to read and write, that must not exist yet, and that no one may read who
// may not read `like`: on POSIX it is its maker's alone; on Windows it is made with the access
// list of `like` (the folder's where that can't be told, or `like` is closed).
JobFile CreateNewFile(const std::string& path, const JobFile& like);
// The file's identity, for one file after another whose ResolvedPath is `resolved`: under Wine
// the volume's serial number is a question to the mount manager in another process, about a
// millisecond a file, so Windows asks it again only when the folder changes (a file is on its
// folder's volume), as IdentityProbe does for names.
#ifdef _WIN32
std::optional<OpenFileIdentity> IdentityAt(const JobFile& file, const std::string& resolved);
#else
inline std::optional<OpenFileIdentity> IdentityAt(const JobFile& file, const std::string&)
{
    return file.Identity();
}
#endif
// An existing journal, to be read and rewritten: never through a link, a regular file only.
JobFile OpenJournalFile(const std::string& path);
// The path the system resolves an open file's name to (links, "." and "..", short names,
// substituted drives followed); empty when it can't be told.
std::string ResolvedPath(JobFile& file, const std::string& path);

// A mark on the file itself that names its journal, so that any name of the file finds it:
// an extended attribute (POSIX), an alternate data stream (Windows). `resolved` is the file's
// ResolvedPath. Marking is durable once it returns true; it fails where the file system
// keeps no such marks.
std::optional<std::string> ReadJournalMark(JobFile& file, const std::string& resolved);
bool MarkJournal(JobFile& file, const std::string& resolved, const std::string& journal);
void UnmarkJournal(JobFile& file, const std::string& resolved);
// Whether every file coded in place is marked, or only one of several names: under Wine a
// look for a stream that is not there costs a folder's read.
#ifdef _WIN32
inline constexpr bool MarkEveryFile = false;
#else
inline constexpr bool MarkEveryFile = true;
#endif
// Makes the names in the folder of `path` durable (a file just made there).
bool FlushFolderOf(const std::string& path);

// The user this process runs as (POSIX; 0 on Windows).
std::uint32_t CurrentUser();
// Who owns what has that name, a link itself (POSIX); nothing where it is not known.
std::optional<std::uint32_t> OwnerOf(const std::string& path);

// Anything of that name, a folder too.
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
// One folder whose parent exists; true when it was made.
bool CreateFolder(const std::string& path);
// An existing file that could be written: opened for writing, nothing changed. On POSIX a
// symbolic link is not opened: the rename that puts a copy in its place replaces the link.
bool CanRewrite(const std::string& path);
// Gives the file `from` the name `to`, replacing a file of that name.
bool RenameOver(const std::string& from, const std::string& to);
// Gives the open file `file`, named `from`, the name `to` only when nothing has that name;
// never replaces. Windows renames the open file itself, so no other file that took the name
// `from` meanwhile is moved, and opens it again as OpenJournalFile does. `file` is closed
// when it can't be (Done all the same: the name is given).
Renamed RenameNoReplace(JobFile& file, const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
