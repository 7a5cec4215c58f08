// What only Windows has: files locked by another program and short 8.3 names.
#include "engine/file_coding_job.h"
#include "engine/in_place_coding.h"
#include "support/fake_coding_view.h"
#include "support/test_files.h"
#include "toolkit/handles.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

constexpr CoderValue Value = 962;

class FileCodingJobWinTest : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::string(temp) + "vorrin-winjob-" + std::to_string(GetCurrentProcessId()) + "-" +
                 test->name() + "\\";
        RemoveTree(folder);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(folder); }

    std::string MakeFolder(const std::string& name)
    {
        const std::string path = folder + name + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }

    std::string folder;  // ends with a backslash
};

// The source is opened before anything is created: one that cannot be read leaves the
// destination folder as it was, an earlier file of the destination's name included.
TEST_F(FileCodingJobWinTest, LockedSourceLeavesTheDestinationAlone)
{
    const Bytes data = Pattern(5000);
    // Held open for writing by someone who shares nothing.
    const std::string locked = folder + "locked.bin";
    WriteAll(locked, data);
    const std::string out = MakeFolder("out");
    const std::string earlier = MakeFolder("earlier");
    const Bytes old = Pattern(100000, 4);
    WriteAll(earlier + "locked.bin", old);
    {
        const tk::FileHandle writer(CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        for (const std::string& destination : {std::string(), out, earlier}) {
            FakeView view;
            view.answers = {true};  // to "rewrite?"
            EXPECT_FALSE(FileCodingJob(locked, destination, Value, view));
            EXPECT_EQ(view.asked.size(), destination == earlier ? 1u : 0u);
            EXPECT_EQ(view.reports, std::vector<std::string>{"can't open " + locked});
        }
    }
    EXPECT_EQ(ReadAll(locked), data);
    EXPECT_EQ(ReadAll(earlier + "locked.bin"), old);
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((out + "*.*").c_str(), &found);
    int entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do
            ++entries;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(entries, 2) << "only . and .. in the folder";
}

// A destination folder given by its short name is still the source's own folder.
TEST_F(FileCodingJobWinTest, SourceFolderByItsShortNameIsCodedInPlace)
{
    const std::string sub = MakeFolder("A long folder name");
    char shortName[MAX_PATH] = {};
    if (!GetShortPathNameA(sub.c_str(), shortName, MAX_PATH) || sub == shortName)
        GTEST_SKIP() << "this file system makes no short names";
    const Bytes data = Pattern(70000, 9);
    const std::string source = sub + "same.bin";
    WriteAll(source, data);
    FakeView view;
    view.answers = {true};
    EXPECT_TRUE(FileCodingJob(source, shortName, Value, view));
    EXPECT_EQ(ReadAll(source), PlainCoded(data, static_cast<CoderState>(Value)));
}

// A coding cut short is found under any spelling of the file: its second name (a hard link,
// which a mark on the file leads to) or, where the disk keeps no marks and such a file is
// refused, its short 8.3 name in capitals.
TEST_F(FileCodingJobWinTest, AFileCutShortIsFoundUnderAnyOfItsNames)
{
    const std::uint64_t savedRegion = JournalRegionBytes;
    JournalRegionBytes = 1 << 20;
    const std::string sub = MakeFolder("A long folder name");
    const std::string source = sub + "cut short.bin", journal = source + ".vorrin-journal";
    const std::string second = sub + "second name.bin", mark = source + ":vorrin.journal";
    const Bytes data = Pattern(9 << 20, 5), coded = PlainCoded(data, static_cast<CoderState>(Value));
    WriteAll(source, data);
    ASSERT_TRUE(CreateHardLinkA(second.c_str(), source.c_str(), nullptr));
    // What a kill at the second update would leave: the file, its journal and its mark as they
    // were then.
    Bytes fileThen, journalThen, markThen;
    FakeView first;
    first.onProgress = [&](int update) {
        if (update == 2) {
            fileThen = ReadAll(source);
            journalThen = ReadAll(journal);
            markThen = ReadAll(mark);
        }
    };
    std::string other = second;
    if (!FileCodingJob(source, "", Value, first)) {
        EXPECT_EQ(first.reports, std::vector<std::string>{"can't mark " + source + ": " + journal});
        EXPECT_EQ(ReadAll(second), data);
        ASSERT_TRUE(DeleteFileA(second.c_str()));
        char shortName[MAX_PATH] = {};
        other = GetShortPathNameA(source.c_str(), shortName, MAX_PATH) ? shortName : source;
        ASSERT_TRUE(FileCodingJob(source, "", Value, first));
    }
    ASSERT_FALSE(journalThen.empty());
    WriteAll(source, fileThen);
    WriteAll(journal, journalThen);
    if (!markThen.empty())
        WriteAll(mark, markThen);

    for (char& c : other)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    FakeView resumed;
    resumed.repairs = {RepairChoice::Finish};
    EXPECT_TRUE(FileCodingJob(other, "", Value, resumed));
    EXPECT_EQ(resumed.found.size(), 1u);
    EXPECT_EQ(ReadAll(source), coded);
    EXPECT_EQ(GetFileAttributesA(journal.c_str()), INVALID_FILE_ATTRIBUTES);
    JournalRegionBytes = savedRegion;
}

// The access list of a file as text ("D:P(A;;FA;;;...)"), or "" when it can't be read.
std::string AccessListOf(const std::string& path)
{
    DWORD bytes = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &bytes);
    std::vector<char> descriptor(bytes);
    char* text = nullptr;
    if (bytes == 0 || !GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), bytes, &bytes) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.data(), SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, &text, nullptr))
        return {};
    const std::string list = text;
    LocalFree(text);
    return list;
}

// A private file's journal is as private as the file: it takes the file's access list.
TEST_F(FileCodingJobWinTest, AJournalIsNoMoreOpenThanItsFile)
{
    const std::string source = folder + "private.bin";
    WriteAll(source, Pattern(70000, 3));
    PSECURITY_DESCRIPTOR ownerOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;OW)", SDDL_REVISION_1, &ownerOnly,
                                                                     nullptr));
    const bool set = SetFileSecurityA(source.c_str(), DACL_SECURITY_INFORMATION, ownerOnly);
    LocalFree(ownerOnly);
    const std::string fileList = AccessListOf(source);
    // Wine keeps a file's permissions as Unix mode bits, not the list set.
    if (!set || fileList.rfind("D:P(", 0) != 0)
        GTEST_SKIP() << "the file system keeps no access lists as they are set (" << fileList << ")";
    std::string journalList;
    FakeView view;
    view.onProgress = [&](int) { journalList = AccessListOf(source + ".vorrin-journal"); };
    ASSERT_TRUE(FileCodingJob(source, "", Value, view));
    EXPECT_EQ(journalList, fileList);
}

}  // namespace
