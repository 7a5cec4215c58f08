// The file layer over a simulated disk (support/simulated_disk.h), linked in place of the
// platform's into the power-cut test alone.
#include "engine/job_files.h"
#include "support/simulated_disk.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr std::size_t Sector = 512;

struct PendingWrite {
    std::uint64_t offset;
    std::vector<unsigned char> bytes;
};

struct File {
    std::vector<unsigned char> durable;
    std::vector<PendingWrite> pending;
    bool named = true;  // the name survives a power cut
    std::uint64_t index = 0;  // its number on the disk: a file put again under its path keeps it

    std::vector<unsigned char> Current() const
    {
        std::vector<unsigned char> now = durable;
        for (const PendingWrite& w : pending) {
            now.resize(std::max<std::size_t>(now.size(), w.offset + w.bytes.size()));
            std::copy(w.bytes.begin(), w.bytes.end(), now.begin() + static_cast<std::ptrdiff_t>(w.offset));
        }
        return now;
    }
    void MakeDurable()
    {
        durable = Current();
        pending.clear();
    }
};

std::map<std::string, std::shared_ptr<File>> Files;
std::map<std::intptr_t, std::shared_ptr<File>> Open;
std::intptr_t NextHandle = 1;
int OperationsLeft = -1;
int OperationsDone = 0;
std::string LastWritten;  // the path of the last write

void Operation()
{
    ++OperationsDone;
    if (OperationsLeft == 0) {
        OperationsLeft = -1;
        throw simulated_disk::PowerCut{};
    }
    if (OperationsLeft > 0)
        --OperationsLeft;
}

std::intptr_t Register(const std::shared_ptr<File>& file)
{
    Open[NextHandle] = file;
    return NextHandle++;
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

namespace simulated_disk {

void Reset()
{
    Files.clear();
    Open.clear();
    OperationsLeft = -1;
    OperationsDone = 0;
}

int Operations()
{
    return OperationsDone;
}

void Put(const std::string& path, const std::vector<unsigned char>& bytes)
{
    Files[path] = std::make_shared<File>(File{bytes, {}, true, std::hash<std::string>{}(path)});
}

std::optional<std::vector<unsigned char>> Get(const std::string& path)
{
    const auto found = Files.find(path);
    return found == Files.end() ? std::nullopt : std::optional(found->second->Current());
}

void CutPowerAfter(int operations)
{
    OperationsLeft = operations;
}

void KeepPower()
{
    OperationsLeft = -1;
}

std::optional<Tear> LosePower()
{
    std::optional<Tear> tear;
    const auto last = Files.find(LastWritten);
    if (last != Files.end() && !last->second->pending.empty()) {
        // The first sector of the last write: its first half new, the rest as it was.
        File& file = *last->second;
        const PendingWrite& w = file.pending.back();
        const std::uint64_t from = w.offset / Sector * Sector;
        const std::uint64_t to = std::min<std::uint64_t>(from + Sector, w.offset + w.bytes.size());
        const std::vector<unsigned char> now = file.Current();
        file.durable.resize(std::max<std::size_t>(file.durable.size(), to));
        const std::uint64_t half = from + (to - from) / 2;
        std::copy(now.begin() + static_cast<std::ptrdiff_t>(from), now.begin() + static_cast<std::ptrdiff_t>(half),
                  file.durable.begin() + static_cast<std::ptrdiff_t>(from));
        tear = Tear{LastWritten, from, to};
    }
    for (auto it = Files.begin(); it != Files.end();) {
        it->second->pending.clear();
        it = it->second->named ? std::next(it) : Files.erase(it);
    }
    Open.clear();
    LastWritten.clear();
    return tear;
}

} // namespace simulated_disk

void JobFile::Close()
{
    if (IsOpen())
        Open.erase(std::exchange(handle_, Closed));
}

std::optional<std::uint64_t> JobFile::Size() const
{
    return Open.at(handle_)->Current().size();
}

bool JobFile::ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t bytes, std::size_t& read)
{
    const std::vector<unsigned char> now = Open.at(handle_)->Current();
    read = offset < now.size() ? std::min<std::size_t>(bytes, now.size() - offset) : 0;
    std::copy_n(now.begin() + static_cast<std::ptrdiff_t>(offset), read, buffer);
    return true;
}

bool JobFile::WriteAt(std::uint64_t offset, const unsigned char* buffer, std::size_t bytes, std::size_t& written)
{
    Operation();
    File& file = *Open.at(handle_);
    file.pending.push_back({offset, std::vector<unsigned char>(buffer, buffer + bytes)});
    for (const auto& [path, known] : Files)
        if (known.get() == &file)
            LastWritten = path;
    written = bytes;
    return true;
}

void JobFile::StartWriteBack(std::uint64_t, std::size_t) {}  // durability is what is simulated

bool JobFile::Flush()
{
    Operation();
    Open.at(handle_)->MakeDurable();
    return true;
}

JobFile OpenToRead(const std::string& path)
{
    const auto found = Files.find(path);
    return found == Files.end() ? JobFile() : JobFile(Register(found->second));
}

JobFile OpenToRewrite(const std::string& path)
{
    return OpenToRead(path);
}

JobFile ReopenToRead(JobFile& file)
{
    return JobFile(Register(Open.at(file.handle_)));
}

JobFile CreateNewFile(const std::string& path)
{
    if (Files.count(path))
        return JobFile();
    static std::uint64_t made = 0;
    auto file = std::make_shared<File>();
    file->named = false;
    file->index = ++made;
    Files[path] = file;
    return JobFile(Register(file));
}

JobFile CreateFileIn(const std::string& folder, std::string& path)
{
    path = folder + "copy.tmp";
    return CreateNewFile(path);
}

bool GivePermissionsOf(const JobFile&, JobFile&)
{
    return true;
}

void RemoveLeftCopies(const std::string&) {}

bool FlushFolderOf(const std::string& path)
{
    Operation();
    for (auto& [name, file] : Files)
        if (FolderOf(name) == FolderOf(path))
            file->named = true;
    return true;
}

bool PathExists(const std::string& path)
{
    return Files.count(path) != 0;
}

bool IsFolder(const std::string&)
{
    return false;
}

bool CreateFolder(const std::string&)
{
    return false;
}

bool CanRewrite(const std::string& path)
{
    return PathExists(path);
}

bool RenameOver(const std::string& from, const std::string& to)
{
    const auto found = Files.find(from);
    if (found == Files.end())
        return false;
    Files[to] = found->second;
    Files.erase(from);
    return true;
}

bool RemoveFile(const std::string& path)
{
    return Files.erase(path) != 0;
}

// Until the simulated disk models them: one user, no locks, no marks, names as they are.
bool JobFile::FlushAll()
{
    return Flush();
}

std::optional<OpenFileIdentity> JobFile::Identity() const
{
    if (!IsOpen())
        return std::nullopt;
    return OpenFileIdentity{1, Open.at(handle_)->index, 1, 0};
}

Hold JobFile::HoldForJob(bool)
{
    return Hold::Held;
}

void ProtectLike(const std::string&, JobFile&) {}

JobFile OpenJournalFile(const std::string& path)
{
    return OpenToRead(path);
}

std::string ResolvedPath(JobFile&, const std::string& path)
{
    return path;
}

std::optional<std::string> ReadJournalMark(JobFile&, const std::string&)
{
    return std::nullopt;
}

bool MarkJournal(JobFile&, const std::string&, const std::string&)
{
    return false;
}

void UnmarkJournal(JobFile&, const std::string&) {}

std::uint32_t CurrentUser()
{
    return 0;
}

std::optional<std::uint32_t> OwnerOf(const std::string&)
{
    return std::nullopt;
}

Renamed RenameNoReplace(const std::string& from, const std::string& to)
{
    if (Files.count(to))
        return Renamed::Exists;
    return RenameOver(from, to) ? Renamed::Done : Renamed::Failed;
}
