#include "toolkit/handles.h"
#include "toolkit/string_list.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        char base[MAX_PATH + 1];
        GetTempPathA(sizeof base, base);
        path_ = std::string(base) + "vorrin-list-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter_);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string file = path_ + "\\" + found.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

private:
    static inline int counter_ = 0;
    std::string path_;
};

void WriteText(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Another program holding the file open without sharing it.
tk::FileHandle LockWithoutSharing(const std::string& path)
{
    return tk::FileHandle(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

StringList ListOf(const std::string& text)
{
    StringList list;
    list.SetText(text);
    return list;
}

} // namespace

TEST(StringListFile, SavedListLoadsBackWithCrLfAfterEveryLine)
{
    const ScratchFolder folder;
    const std::string path = folder / "queue.flt";
    const StringList saved = ListOf("C:\\a.txt\r\n\r\n spaced \\b.bin \r\nrelative.dat");

    ASSERT_TRUE(saved.SaveToFile(path));
    EXPECT_EQ(ReadText(path), "C:\\a.txt\r\n\r\n spaced \\b.bin \r\nrelative.dat\r\n");
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    StringList loaded = ListOf("old");
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.GetText(), saved.GetText());
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"queue.flt"}) << "no temporary file is left behind";
}

TEST(StringListFile, SaveReplacesAnExistingFileAndAnEmptyListGivesAnEmptyFile)
{
    const ScratchFolder folder;
    const std::string path = folder / "queue.flt";
    WriteText(path, std::string(5000, 'x'));

    ASSERT_TRUE(ListOf("short").SaveToFile(path));
    EXPECT_EQ(ReadText(path), "short\r\n");
    ASSERT_TRUE(StringList().SaveToFile(path));
    EXPECT_EQ(ReadText(path), "");

    StringList loaded = ListOf("old");
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.Count(), 0u);
}

TEST(StringListFile, LoadKeepsTheLineRulesOfTheText)
{
    const ScratchFolder folder;
    const std::string path = folder / "mixed.flt";
    WriteText(path, "a\nb\rc\r\n\r\nd\0lost\re\r\n\0f"s);

    StringList loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(std::vector<std::string>(loaded.begin(), loaded.end()),
              (std::vector<std::string>{"a", "b", "c", "", "d\x1Alost", "e", "\x1A" "f"}));
}

TEST(StringListFile, FailedLoadLeavesTheListUnchanged)
{
    const ScratchFolder folder;
    const std::string path = folder / "locked.flt";
    WriteText(path, "x\r\n");
    StringList list = ListOf("kept\r\nalso kept");

    EXPECT_FALSE(list.LoadFromFile(folder / "missing.flt"));
    EXPECT_FALSE(list.LoadFromFile(folder / "no folder\\x.flt"));
    EXPECT_FALSE(list.LoadFromFile(folder / ""));
    {
        const tk::FileHandle lock = LockWithoutSharing(path);
        ASSERT_TRUE(lock);
        EXPECT_FALSE(list.LoadFromFile(path));
    }
    EXPECT_EQ(list.GetText(), "kept\r\nalso kept\r\n");

    ASSERT_TRUE(list.LoadFromFile(path)) << "readable again once the lock is gone";
    EXPECT_EQ(list.GetText(), "x\r\n");
}

TEST(StringListFile, FailedSaveReportsFalseAndLeavesTheOldFileIntact)
{
    const ScratchFolder folder;
    const StringList list = ListOf("new contents");

    EXPECT_FALSE(list.SaveToFile(folder / "no folder\\x.flt"));

    const std::string readOnly = folder / "read-only.flt";
    WriteText(readOnly, "old read-only\r\n");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(list.SaveToFile(readOnly));
    EXPECT_EQ(ReadText(readOnly), "old read-only\r\n");

    const std::string locked = folder / "locked.flt";
    WriteText(locked, "old locked\r\n");
    {
        const tk::FileHandle lock = LockWithoutSharing(locked);
        ASSERT_TRUE(lock);
        EXPECT_FALSE(list.SaveToFile(locked));
    }
    EXPECT_EQ(ReadText(locked), "old locked\r\n");

    EXPECT_FALSE(list.SaveToFile(folder / "")) << "a folder is no file";

    auto files = folder.Files();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"locked.flt", "read-only.flt"})) << "no temporary file is left behind";
}
