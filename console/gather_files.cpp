#include "console/gather_files.h"

#include "console/console_output.h"
#include "console/folder_walk.h"
#include "console/interrupt.h"
#include "console/read_file_list.h"
#include "console/wildcards.h"
#include "engine/file_identity.h"
#include "engine/job_files.h"

namespace {

void Report(const std::string& path, const std::string& what)
{
    WriteError("vorrinc: " + path + ": " + what + "\n");
}

// "folder" + separator + "name", a root's own separator not doubled.
std::string Join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && (folder.back() == NativePathSeparator || folder.back() == '/'))
        return folder + name;
    return folder + NativePathSeparator + name;
}

class Gathering {
public:
    explicit Gathering(bool recursive) : recursive_(recursive) {}

    // A path named by the user: a file, or with --recursive a folder whose tree is taken.
    void Add(const std::string& path)
    {
        if (!recursive_ || !IsFolder(path)) {
            gathered_.files.push_back({path, {}});
            return;
        }
        const std::string name = OwnFolderName(path);
        Walk(path, name.empty() ? std::string() : name + NativePathSeparator);
    }

    // An argument, its wildcards expanded where the system leaves that to programs.
    void AddArgument(const std::string& argument)
    {
        const Expansion expansion = ExpandWildcards(argument, recursive_);
        for (const std::string& name : expansion.unusable)
            Fail(name, "can't use the name on this system");
        if (expansion.names.empty() && expansion.unusable.empty())
            Fail(argument, "no file matches");
        for (const std::string& name : expansion.names)
            Add(FullPathName(name));
    }

    GatheredFiles Take() { return std::move(gathered_); }

private:
    void Fail(const std::string& path, const std::string& what)
    {
        Report(path, what);
        ++gathered_.failed;
    }
    void Skip(const std::string& path, const std::string& what)
    {
        Report(path, what);
        ++gathered_.skipped;
    }

    // Every regular file under `folder`, in order of name, each with its place below the
    // destination. A link is not looked through: it could lead out of the tree, or round in
    // a circle.
    void Walk(const std::string& folder, const std::string& subfolder)
    {
        if (Interrupted())
            return;
        const std::optional<std::vector<FolderEntry>> entries = ReadFolder(folder);
        if (!entries) {
            Fail(folder, "can't read the folder");
            return;
        }
        for (const FolderEntry& entry : *entries) {
            const std::string path = Join(folder, entry.name);
            switch (entry.kind) {
            case FolderEntry::Kind::File:
                gathered_.files.push_back({path, subfolder});
                break;
            case FolderEntry::Kind::Folder:
                Walk(path, subfolder + entry.name + NativePathSeparator);
                break;
            case FolderEntry::Kind::Link:
                Skip(path, "a symbolic link; skipped (links are not followed)");
                break;
            case FolderEntry::Kind::Other:
                Skip(path, "not a regular file; skipped");
                break;
            }
        }
    }

    bool recursive_;
    GatheredFiles gathered_;
};

} // namespace

std::optional<GatheredFiles> GatherFiles(const CommandLine& line, std::string& problem)
{
    Gathering gathering(line.recursive);
    for (const std::string& argument : line.files) {
        if (!IsListArgument(argument)) {
            gathering.AddArgument(argument);
            continue;
        }
        const std::optional<std::vector<std::string>> entries = ReadFileList(argument.substr(1), problem);
        if (!entries)
            return std::nullopt;
        for (const std::string& entry : *entries)
            gathering.Add(entry);
    }
    return gathering.Take();
}
