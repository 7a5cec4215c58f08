// What the Properties of each shipped program show, read back from the files the build made,
// as Windows reads them. The build folder's shipped.txt names the files of the release.
#include "mainwindow/program_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ShippedPrograms()
{
    std::ifstream list(ProgramFolder() + "shipped.txt");
    std::vector<std::string> programs;
    std::string key, name;
    while (list >> key >> name)
        if (key == "file" && name.ends_with(".exe"))
            programs.push_back(name);
    return programs;
}

class VersionInfo {
public:
    explicit VersionInfo(const std::string& path)
    {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        data_.resize(size);
        if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data_.data()))
            data_.clear();
    }

    bool Found() const { return !data_.empty(); }

    // "major.minor.patch.tweak" from the numeric part, which Explorer shows as "File version".
    std::string FixedFileVersion() const
    {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query("\\"));
        if (!fixed || fixed->dwSignature != VS_FFI_SIGNATURE)
            return "none";
        return Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + " product " +
               Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }

    // A text of the first language the file lists.
    std::string Text(const char* name) const
    {
        const auto* translation = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation"));
        if (!translation)
            return "no translation";
        char path[96];
        wsprintfA(path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
        const auto* text = static_cast<const char*>(Query(path));
        return text ? text : "missing";
    }

private:
    const void* Query(const char* path) const
    {
        void* value = nullptr;
        UINT length = 0;
        auto* data = const_cast<unsigned char*>(data_.data());
        return VerQueryValueA(data, path, &value, &length) && length > 0 ? value : nullptr;
    }

    static std::string Dotted(DWORD high, DWORD low)
    {
        return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
               std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
    }

    std::vector<unsigned char> data_;
};

} // namespace

TEST(ProgramVersion, EveryShippedProgramShowsTheProjectVersionAndItsOwnNames)
{
    const std::vector<std::string> programs = ShippedPrograms();
    ASSERT_NE(programs.end(), std::find(programs.begin(), programs.end(), "vorrin.exe"))
        << "shipped.txt beside the tests lists no vorrin.exe";

    const std::string version = VORRIN_VERSION;
    std::set<std::string> descriptions;
    for (const std::string& program : programs) {
        SCOPED_TRACE(program);
        const VersionInfo info(ProgramFolder() + program);
        ASSERT_TRUE(info.Found()) << "no version resource";
        EXPECT_EQ(version + ".0 product " + version + ".0", info.FixedFileVersion());
        EXPECT_EQ(version, info.Text("FileVersion"));
        EXPECT_EQ(version, info.Text("ProductVersion"));
        EXPECT_EQ("Vorrin", info.Text("ProductName"));
        EXPECT_EQ(program, info.Text("OriginalFilename"));
        const std::string description = info.Text("FileDescription");
        EXPECT_TRUE(description.starts_with("Vorrin")) << description;
        EXPECT_TRUE(descriptions.insert(description).second) << "description shared with another program";
    }
}
