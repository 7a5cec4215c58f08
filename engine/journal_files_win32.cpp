// What a journal asks of files on Windows: which file an open one is, where its name resolves,
// the mark that names its journal, and a journal made private and named without a window.
#include "engine/job_files.h"

#include "engine/file_identity.h"
#include "toolkit/handles.h"
#include "toolkit/process_text.h"

#include <windows.h>


#include <algorithm>
#include <vector>

namespace {

HANDLE Native(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// The path the system gives the open file, growing the buffer as it asks; empty when it can't.
std::string FinalPath(HANDLE file)
{
    std::string final(MAX_PATH, '\0');
    DWORD n = GetFinalPathNameByHandleA(file, final.data(), static_cast<DWORD>(final.size()), 0);
    if (n >= final.size()) {
        final.resize(n);
        n = GetFinalPathNameByHandleA(file, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    final.resize(n < final.size() ? n : 0);
    return final;
}

// The serial of the volume last asked, with the folder it was asked for.
struct KnownVolume {
    std::string folder;
    std::uint64_t serial = 0;
};
thread_local KnownVolume LastVolume;

std::optional<OpenFileIdentity> IdentityInKnownFolder(HANDLE file, const std::string& folder)
{
    FILE_STANDARD_INFO standard;
    if (folder.empty() || folder != LastVolume.folder ||
        !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard))
        return std::nullopt;
    const std::optional<std::uint64_t> index = IndexAlone(file);
    if (!index)
        return std::nullopt;
    return OpenFileIdentity{LastVolume.serial, *index, standard.NumberOfLinks, 0};
}

} // namespace

std::optional<OpenFileIdentity> JobFile::Identity() const
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(Native(handle_), &info))
        return std::nullopt;
    return OpenFileIdentity{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                            info.nNumberOfLinks, 0};
}

std::optional<OpenFileIdentity> IdentityAt(const JobFile& file, const std::string& resolved)
{
    const std::string folder = resolved.substr(0, resolved.find_last_of('\\') + 1);
    if (const std::optional<OpenFileIdentity> known = IdentityInKnownFolder(Native(file.handle_), folder))
        return known;
    const std::optional<OpenFileIdentity> identity = file.Identity();
    if (identity && !folder.empty())
        LastVolume = {folder, identity->volume};
    return identity;
}

// Made with the file's own access list, not one inherited from its folder: a private file's
// journal stays private in a folder all may read, from its first byte. Opened to be deleted
// too, so that it can be renamed by its handle (RenameNoReplace).
JobFile CreateNewFile(const std::string& path, const JobFile& like)
{
    // Most access lists fit at once; a longer one is asked again at its size.
    std::vector<unsigned char> descriptor(1024);
    DWORD needed = 0;
    const auto read = [&] {
        return like.IsOpen() && GetKernelObjectSecurity(Native(like.handle_), DACL_SECURITY_INFORMATION,
                                                        descriptor.data(), static_cast<DWORD>(descriptor.size()), &needed);
    };
    bool known = read();
    if (!known && GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > descriptor.size()) {
        descriptor.resize(needed);
        known = read();
    }
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (known && SetSecurityDescriptorControl(descriptor.data(), SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        security.lpSecurityDescriptor = descriptor.data();
    return JobFile(reinterpret_cast<std::intptr_t>(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                                               FILE_SHARE_READ, &security, CREATE_NEW, 0, nullptr)));
}

JobFile OpenJournalFile(const std::string& path)
{
    JobFile file(reinterpret_cast<std::intptr_t>(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                             FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    FILE_BASIC_INFO info;
    if (file.IsOpen() &&
        (!GetFileInformationByHandleEx(Native(file.handle_), FileBasicInfo, &info, sizeof info) ||
         (info.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))))
        file.Close();
    return file;
}

// The final path of the open file, in its plain drive or share form; the full path name of its
// name where the system can't tell.
std::string ResolvedPath(JobFile& file, const std::string& path)
{
    const std::string final = FinalPath(Native(file.handle_));
    if (final.empty())
        return FullPathName(path);
    if (final.rfind("\\\\?\\UNC\\", 0) == 0)
        return "\\\\" + final.substr(8);
    if (final.rfind("\\\\?\\", 0) == 0)
        return final.substr(4);
    return final;
}

namespace {

std::string MarkStream(const std::string& resolved)
{
    return resolved + ":vorrin.journal";
}

// A data stream of the file shares its number; where the file system has no streams (Wine on
// a Unix disk) the name makes a file of its own beside it, which marks nothing.
bool IsStreamOf(HANDLE stream, JobFile& file)
{
    BY_HANDLE_FILE_INFORMATION info;
    const std::optional<OpenFileIdentity> identity = file.Identity();
    return identity && GetFileInformationByHandle(stream, &info) && info.dwVolumeSerialNumber == identity->volume &&
           ((std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow) == identity->index;
}

} // namespace
std::optional<std::string> ReadJournalMark(JobFile& file, const std::string& resolved)
{
    const tk::FileHandle mark(CreateFileA(MarkStream(resolved).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    std::string journal(4096, '\0');
    DWORD got = 0;
    if (!mark || !IsStreamOf(mark.get(), file) ||
        !ReadFile(mark.get(), journal.data(), static_cast<DWORD>(journal.size()), &got, nullptr) || got == 0)
        return std::nullopt;
    journal.resize(got);
    return journal;
}

// Opened without emptying it, so that a file of that name which is not the file's stream (see
// IsStreamOf) is left as it was.
bool MarkJournal(JobFile& file, const std::string& resolved, const std::string& journal)
{
    const std::string stream = MarkStream(resolved);
    tk::FileHandle mark(CreateFileA(stream.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (mark && !IsStreamOf(mark.get(), file)) {
        mark.reset();
        if (!existed)
            DeleteFileA(stream.c_str());
        return false;
    }
    DWORD put = 0;
    return mark && WriteFile(mark.get(), journal.data(), static_cast<DWORD>(journal.size()), &put, nullptr) &&
           put == journal.size() && SetEndOfFile(mark.get()) && FlushFileBuffers(mark.get());
}

void UnmarkJournal(JobFile& file, const std::string& resolved)
{
    const std::string stream = MarkStream(resolved);
    bool isStream = false;
    {
        const tk::FileHandle mark(CreateFileA(stream.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        isStream = mark && IsStreamOf(mark.get(), file);
    }
    if (isStream)
        DeleteFileA(stream.c_str());
}

// By the open file's handle, never by the name it had: what was made is what takes the name.
Renamed RenameNoReplace(JobFile& file, const std::string&, const std::string& to)
{
    const std::wstring name = WideText(to);
    // The structure ends with room for one character, the terminating one.
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    if (!SetFileInformationByHandle(Native(file.handle_), FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
        const DWORD error = GetLastError();
        return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Renamed::Exists : Renamed::Failed;
    }
    // Named, it is opened again without the right to delete it, which would keep every
    // program that reads without sharing deletion (most do) from reading it. The system can't
    // drop a right from an open handle.
    file.Close();
    file = OpenJournalFile(to);
    return Renamed::Done;
}
