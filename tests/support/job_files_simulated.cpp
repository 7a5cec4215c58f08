// The file layer over a simulated disk (support/simulated_disk.h), linked in place of the
// platform's into the power-cut test alone.
#include "engine/file_identity.h"
#include "engine/job_files.h"
#include "support/simulated_disk.h"

#include <algorithm>
#include <map>
#include <utility>

namespace simulated_disk {

// Bytes shared until written: a disk's image is loaded again and again, and after a power cut
// a file reads as it is on the disk.
class SharedBytes {
public:
    SharedBytes() = default;
    explicit SharedBytes(const Bytes& bytes) : bytes_(std::make_shared<Bytes>(bytes)) {}
    const Bytes& operator*() const { return *bytes_; }
    const Bytes* operator->() const { return bytes_.get(); }
    Bytes& Mutable()
    {
        if (bytes_.use_count() > 1)
            bytes_ = std::make_shared<Bytes>(*bytes_);
        return *bytes_;
    }

private:
    std::shared_ptr<Bytes> bytes_ = std::make_shared<Bytes>();
};

struct File {
    SharedBytes durable;  // on the disk
    SharedBytes current;  // as read: with the writes not yet flushed
    std::optional<std::string> mark;
    std::optional<std::string> durableMark;
    std::uint64_t number = 0;
};
using FilePtr = std::shared_ptr<File>;

struct Write {
    FilePtr file;
    std::uint64_t offset;
    std::shared_ptr<const Bytes> bytes;
};

// A change of a name or a mark, not yet flushed.
struct Change {
    enum Kind { Create, Rename, Remove, Mark } kind;
    std::string path;  // the name made, removed, or renamed to
    std::string from;  // Rename
    FilePtr file;
    std::optional<std::string> mark;  // Mark
};

struct Disk {
    std::map<std::string, FilePtr> names;         // as the job sees them
    std::map<std::string, FilePtr> durableNames;  // on the disk
    std::vector<Write> writes;                    // in the order made
    std::vector<Change> changes;
};

} // namespace simulated_disk

namespace {

using namespace simulated_disk;

Disk D;
// Never counted again, so that no file of a disk is taken for one of an earlier disk.
std::uint64_t NextNumber = 1;
std::map<std::intptr_t, FilePtr> Open;
std::intptr_t NextHandle = 1;
int OperationCount = 0;
int ChangeCount = 0;
int CutAt = -1;
int FailAt = -1;
std::vector<std::string> Log;
WorkOrder Order = WorkOrder::AtStart;

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.rfind('/') + 1);
}

// Counts one operation, `change` when it changes the disk; false when it is the one to fail.
bool Operation(bool change, std::string what)
{
    Log.push_back(std::move(what));
    const int operation = OperationCount++;
    if (change && ChangeCount++ == CutAt) {
        CutAt = -1;
        throw PowerCut{};
    }
    if (operation != FailAt)
        return true;
    FailAt = -1;
    Log.back() += " (failed)";
    return false;
}

std::string NameOf(const FilePtr& file)
{
    for (const auto& [path, named] : D.names)
        if (named == file)
            return path;
    return {};
}

void Apply(Bytes& bytes, std::uint64_t offset, const unsigned char* data, std::size_t length)
{
    if (length == 0)
        return;
    bytes.resize(std::max<std::size_t>(bytes.size(), offset + length));
    std::copy_n(data, length, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

// A change of a name made on `names`, as far as what it changes is still there.
void Apply(std::map<std::string, FilePtr>& names, const Change& change)
{
    switch (change.kind) {
    case Change::Create:
        names[change.path] = change.file;
        break;
    case Change::Rename:
        if (const auto found = names.find(change.from); found != names.end() && found->second == change.file) {
            names.erase(found);
            names[change.path] = change.file;
        }
        break;
    case Change::Remove:
        if (const auto found = names.find(change.path); found != names.end() && found->second == change.file)
            names.erase(found);
        break;
    case Change::Mark:
        change.file->durableMark = change.mark;
        break;
    }
}

// The changes that `durable` picks become durable, in order; the rest stay pending.
template <typename Pick>
void MakeDurable(Pick durable)
{
    std::vector<Change> left;
    for (Change& change : D.changes) {
        if (durable(change))
            Apply(D.durableNames, change);
        else
            left.push_back(std::move(change));
    }
    D.changes = std::move(left);
}

// The writes to `file` made durable, or lost when the flush failed; either way no longer pending.
void SettleWrites(const FilePtr& file, bool reached)
{
    std::vector<Write> left;
    for (Write& write : D.writes) {
        if (write.file != file)
            left.push_back(std::move(write));
        else if (reached)
            Apply(file->durable.Mutable(), write.offset, write.bytes->data(), write.bytes->size());
    }
    D.writes = std::move(left);
}

std::intptr_t Register(const FilePtr& file)
{
    Open[NextHandle] = file;
    return NextHandle++;
}

FilePtr& Opened(std::intptr_t handle)
{
    return Open.at(handle);
}

// A deep copy: the files shared by names, writes and changes stay shared in the copy.
Disk Copy(const Disk& from)
{
    std::map<const File*, FilePtr> copies;
    const auto copy = [&copies](const FilePtr& file) {
        FilePtr& made = copies[file.get()];
        if (!made)
            made = std::make_shared<File>(*file);
        return made;
    };
    Disk to;
    for (const auto& [path, file] : from.names)
        to.names[path] = copy(file);
    for (const auto& [path, file] : from.durableNames)
        to.durableNames[path] = copy(file);
    for (const Write& write : from.writes)
        to.writes.push_back({copy(write.file), write.offset, write.bytes});
    for (const Change& change : from.changes) {
        to.changes.push_back(change);
        to.changes.back().file = copy(change.file);
    }
    return to;
}

} // namespace

namespace simulated_disk {

void Reset()
{
    D = Disk{};
    Open.clear();
    OperationCount = ChangeCount = 0;
    CutAt = FailAt = -1;
    Log.clear();
}

void Put(const std::string& path, const Bytes& bytes)
{
    auto file = std::make_shared<File>(File{SharedBytes(bytes), {}, {}, {}, NextNumber++});
    file->current = file->durable;
    D.names[path] = D.durableNames[path] = file;
}

const Bytes* Get(const std::string& path)
{
    const auto found = D.names.find(path);
    return found == D.names.end() ? nullptr : &*found->second->current;
}

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (const auto& entry : D.names)
        names.push_back(entry.first);
    return names;
}

int Operations()
{
    return OperationCount;
}

int Changes()
{
    return ChangeCount;
}

const std::vector<std::string>& OperationLog()
{
    return Log;
}

void CutPowerAt(int change)
{
    CutAt = change;
}

void FailOperation(int operation)
{
    FailAt = operation;
}

void KeepPower()
{
    CutAt = FailAt = -1;
}

std::vector<PendingWrite> PendingWrites()
{
    std::vector<PendingWrite> pending;
    for (const Write& write : D.writes)
        pending.push_back({NameOf(write.file), write.offset, write.offset + write.bytes->size()});
    return pending;
}

int PendingChanges()
{
    return static_cast<int>(D.changes.size());
}

CrashState NothingSurvives()
{
    return {std::vector<WriteFate>(D.writes.size()), std::vector<bool>(D.changes.size(), false)};
}

std::vector<Tear> LosePower(const CrashState& state)
{
    struct Torn {
        FilePtr file;
        std::uint64_t from;
    };
    std::vector<Torn> torn;
    for (std::size_t k = 0; k < D.writes.size(); ++k) {
        const Write& write = D.writes[k];
        const WriteFate fate = state.writes.at(k);
        std::uint64_t end = fate.what == WriteFate::Reached ? write.offset + write.bytes->size() : write.offset;
        if (fate.what == WriteFate::Torn) {
            // Up to the middle of the torn sector; its second half, and the file's size up to
            // its end, as they were.
            const std::uint64_t sector = fate.tornSector * SectorBytes;
            end = std::clamp(sector + SectorBytes / 2, write.offset, write.offset + write.bytes->size());
            Bytes& bytes = write.file->durable.Mutable();
            bytes.resize(std::max<std::size_t>(bytes.size(), std::min(sector + SectorBytes, write.offset + write.bytes->size())));
            torn.push_back({write.file, sector});
        }
        if (end > write.offset)
            Apply(write.file->durable.Mutable(), write.offset, write.bytes->data(), static_cast<std::size_t>(end - write.offset));
    }
    for (std::size_t k = 0; k < D.changes.size(); ++k)
        if (state.changesKept.at(k))
            Apply(D.durableNames, D.changes[k]);
    D.writes.clear();
    D.changes.clear();
    Open.clear();
    D.names = D.durableNames;
    for (const auto& [path, file] : D.names) {
        file->current = file->durable;
        file->mark = file->durableMark;
    }
    std::vector<Tear> tears;
    for (const Torn& t : torn) {
        const std::string path = NameOf(t.file);
        if (!path.empty())
            tears.push_back({path, t.from, std::min<std::uint64_t>(t.from + SectorBytes, t.file->durable->size())});
    }
    return tears;
}

Image Save()
{
    return {std::make_shared<const Disk>(Copy(D))};
}

void Load(const Image& image)
{
    Reset();
    D = Copy(*image.disk);
}

void SetWorkOrder(WorkOrder order)
{
    Order = order;
}

WorkOrder CurrentWorkOrder()
{
    return Order;
}

} // namespace simulated_disk

void JobFile::Close()
{
    if (IsOpen())
        Open.erase(std::exchange(handle_, Closed));
}

std::optional<std::uint64_t> JobFile::Size() const
{
    if (!Operation(false, "size"))
        return std::nullopt;
    return Opened(handle_)->current->size();
}

bool JobFile::ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t bytes, std::size_t& read)
{
    const FilePtr& file = Opened(handle_);
    read = 0;
    if (!Operation(false, "read " + NameOf(file) + " " + std::to_string(offset) + "+" + std::to_string(bytes)))
        return false;
    const Bytes& now = *file->current;
    read = offset < now.size() ? std::min<std::size_t>(bytes, now.size() - offset) : 0;
    std::copy_n(now.begin() + static_cast<std::ptrdiff_t>(offset), read, buffer);
    return true;
}

bool JobFile::WriteAt(std::uint64_t offset, const unsigned char* buffer, std::size_t bytes, std::size_t& written)
{
    const FilePtr& file = Opened(handle_);
    written = 0;
    if (!Operation(true, "write " + NameOf(file) + " " + std::to_string(offset) + "+" + std::to_string(bytes)))
        return false;
    auto data = std::make_shared<const Bytes>(buffer, buffer + bytes);
    Apply(file->current.Mutable(), offset, data->data(), bytes);
    D.writes.push_back({file, offset, std::move(data)});
    written = bytes;
    return true;
}

void JobFile::StartWriteBack(std::uint64_t, std::size_t) {}  // durability is what is simulated

bool JobFile::Flush()
{
    const FilePtr& file = Opened(handle_);
    const bool flushed = Operation(true, "flush " + NameOf(file));
    SettleWrites(file, flushed);
    return flushed;
}

bool JobFile::FlushAll()
{
    const FilePtr file = Opened(handle_);
    const bool flushed = Operation(true, "flush all " + NameOf(file));
    SettleWrites(file, flushed);
    if (flushed)
        MakeDurable([&file](const Change& c) { return c.kind == Change::Mark && c.file == file; });
    return flushed;
}

std::optional<OpenFileIdentity> JobFile::Identity() const
{
    if (!IsOpen())
        return std::nullopt;
    const FilePtr& file = Opened(handle_);
    if (!Operation(false, "identity " + NameOf(file)))
        return std::nullopt;
    const auto links = std::count_if(D.names.begin(), D.names.end(), [&file](const auto& n) { return n.second == file; });
    return OpenFileIdentity{1, file->number, static_cast<std::uint32_t>(links), 0};
}

Hold JobFile::HoldForJob(bool)
{
    return Hold::Held;  // one job at a time on this disk; nothing to fail
}

JobFile OpenToRead(const std::string& path)
{
    const auto found = D.names.find(path);
    if (!Operation(false, "open " + path) || found == D.names.end())
        return JobFile();
    return JobFile(Register(found->second));
}

JobFile OpenToRewrite(const std::string& path)
{
    return OpenToRead(path);
}

JobFile OpenJournalFile(const std::string& path)
{
    return OpenToRead(path);
}

JobFile ReopenToRead(JobFile& file)
{
    const FilePtr& opened = Opened(file.handle_);
    if (!Operation(false, "open again " + NameOf(opened)))
        return JobFile();
    return JobFile(Register(opened));
}

std::string ResolvedPath(JobFile& file, const std::string& path)
{
    return Operation(false, "resolve " + NameOf(Opened(file.handle_))) ? path : std::string();
}

std::optional<std::string> ReadJournalMark(JobFile& file, const std::string&)
{
    const FilePtr& opened = Opened(file.handle_);
    if (!Operation(false, "read mark " + NameOf(opened)))
        return std::nullopt;
    return opened->mark;
}

bool MarkJournal(JobFile& file, const std::string&, const std::string& journal)
{
    const FilePtr& opened = Opened(file.handle_);
    if (!Operation(true, "mark " + NameOf(opened)))
        return false;
    opened->mark = journal;
    D.changes.push_back({Change::Mark, {}, {}, opened, journal});
    return true;
}

void UnmarkJournal(JobFile& file, const std::string&)
{
    const FilePtr& opened = Opened(file.handle_);
    if (!Operation(true, "unmark " + NameOf(opened)))
        return;
    opened->mark.reset();
    D.changes.push_back({Change::Mark, {}, {}, opened, std::nullopt});
}

JobFile CreateNewFile(const std::string& path, const JobFile&)
{
    if (!Operation(true, "create " + path) || D.names.count(path))
        return JobFile();
    auto file = std::make_shared<File>();
    file->number = NextNumber++;
    D.names[path] = file;
    D.changes.push_back({Change::Create, path, {}, file, {}});
    return JobFile(Register(file));
}

JobFile CreateFileIn(const std::string& folder, std::string& path)
{
    path = folder + "." + std::to_string(NextNumber) + ".copy";
    JobFile file = CreateNewFile(path, JobFile());
    if (!file.IsOpen())
        path.clear();
    return file;
}

// What a process that died left is no concern of a single run.
void RemoveLeftCopies(const std::string&) {}

bool FlushFolderOf(const std::string& path)
{
    const std::string folder = FolderOf(path);
    if (!Operation(true, "flush folder " + folder))
        return false;
    MakeDurable([&folder](const Change& c) { return c.kind != Change::Mark && FolderOf(c.path) == folder; });
    return true;
}

bool PathExists(const std::string& path)
{
    return D.names.count(path) != 0;
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

namespace {

bool Rename(const std::string& from, const std::string& to)
{
    const auto found = D.names.find(from);
    if (found == D.names.end())
        return false;
    const FilePtr file = found->second;
    D.names.erase(found);
    D.names[to] = file;
    D.changes.push_back({Change::Rename, to, from, file, {}});
    return true;
}

} // namespace

bool RenameOver(const std::string& from, const std::string& to)
{
    return Operation(true, "rename " + from + " over " + to) && Rename(from, to);
}

Renamed RenameNoReplace(JobFile&, const std::string& from, const std::string& to)
{
    if (!Operation(true, "rename " + from + " to " + to))
        return Renamed::Failed;
    if (D.names.count(to))
        return Renamed::Exists;
    return Rename(from, to) ? Renamed::Done : Renamed::Failed;
}

bool RemoveFile(const std::string& path)
{
    if (!Operation(true, "remove " + path))
        return false;
    const auto found = D.names.find(path);
    if (found == D.names.end())
        return false;
    D.changes.push_back({Change::Remove, path, {}, found->second, {}});
    D.names.erase(found);
    return true;
}

// The file a name leads to, by the number it was made with.
std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    const auto found = D.names.find(path);
    if (found == D.names.end())
        return std::nullopt;
    return FileIdentity{1, found->second->number, std::wstring(path.begin(), path.end())};
}

// Names on the simulated disk are full already.
std::string FullPathName(const std::string& path)
{
    return path;
}

// One user, whose files keep the bits they are given.
std::uint32_t CurrentUser()
{
    return 0;
}

std::optional<std::uint32_t> OwnerOf(const std::string& path)
{
    return PathExists(path) ? std::optional<std::uint32_t>(0) : std::nullopt;
}

bool GivePermissionsOf(const JobFile&, JobFile&)
{
    return true;
}

// The simulated disk has no links: a name's entry is its file.
std::optional<FileIdentity> IdentityOfEntry(const std::string& path)
{
    return IdentityOf(path);
}
