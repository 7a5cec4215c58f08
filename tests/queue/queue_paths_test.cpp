#include "queue/progress_scale.h"
#include "queue/queue_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(const StringList& list)
{
    return {list.begin(), list.end()};
}

} // namespace

TEST(QueuePaths, DestinationGetsOneFinalBackslashAndEveryLevel)
{
    EXPECT_EQ(CompleteDestination(""), "");
    EXPECT_EQ(CompleteDestination("D:\\out\\a"), "D:\\out\\a\\");
    EXPECT_EQ(CompleteDestination("D:\\out\\a\\"), "D:\\out\\a\\");
    EXPECT_EQ(CompleteDestination("out/"), "out/\\");

    EXPECT_EQ(DestinationLevels("D:\\out\\a\\"), (std::vector<std::string>{"D:\\", "D:\\out\\", "D:\\out\\a\\"}));
    EXPECT_EQ(DestinationLevels("\\\\server\\share\\x\\"),
              (std::vector<std::string>{"\\", "\\\\", "\\\\server\\", "\\\\server\\share\\", "\\\\server\\share\\x\\"}));
    EXPECT_TRUE(DestinationLevels("").empty());
    EXPECT_TRUE(DestinationLevels("plain").empty());
}

TEST(QueuePaths, SelectionOfOneFileIsTakenWhole)
{
    EXPECT_EQ(Items(SelectionToPaths("C:\\data\\one file.bin")), (std::vector<std::string>{"C:\\data\\one file.bin"}));
}

TEST(QueuePaths, SelectionOfSeveralFilesJoinsFolderAndNames)
{
    EXPECT_EQ(Items(SelectionToPaths("C:\\data\ra.bin\rb c.txt")),
              (std::vector<std::string>{"C:\\data\\a.bin", "C:\\data\\b c.txt"}));
    // The root of a drive keeps its single backslash.
    EXPECT_EQ(Items(SelectionToPaths("C:\\\ra\rb")), (std::vector<std::string>{"C:\\a", "C:\\b"}));
    // Long names are handed on whole, nothing cut at a fixed length.
    const std::string folder = "C:\\" + std::string(300, 'f');
    const std::string name(400, 'n');
    EXPECT_EQ(Items(SelectionToPaths(folder + "\r" + name + "\rx")),
              (std::vector<std::string>{folder + "\\" + name, folder + "\\x"}));
}

TEST(QueuePaths, ProgressFitsThe32BitBar)
{
    EXPECT_EQ(ProgressShift(0), 0);
    EXPECT_EQ(ProgressShift(INT32_MAX), 0);
    EXPECT_EQ(ProgressShift(std::int64_t{INT32_MAX} + 1), 1);
    const std::int64_t huge = std::int64_t{1} << 40;
    const int shift = ProgressShift(huge);
    EXPECT_LE(ScaledProgress(huge, shift), INT32_MAX);
    EXPECT_GT(ScaledProgress(huge, shift), INT32_MAX / 2);
    // The position after the last block never wraps negative.
    EXPECT_EQ(ScaledProgress(std::int64_t{INT32_MAX} + 1, 0), INT32_MAX);
    EXPECT_EQ(ScaledProgress(257, 0), 257);
}

TEST(QueuePaths, RelativeEntriesAreReadAgainstAFolder)
{
    for (const char* relative : {"a.bin", "sub\\a.bin", "..\\a.bin", "\\a.bin", "C:a.bin", " C:\\a.bin", ""})
        EXPECT_TRUE(IsRelativePath(relative)) << relative;
    for (const char* full : {"C:\\a.bin", "c:/a.bin", "\\\\server\\share\\a.bin", "\\\\?\\C:\\a.bin"})
        EXPECT_FALSE(IsRelativePath(full)) << full;

    const std::string lists = "D:\\lists\\";
    EXPECT_EQ(PathInFolder(lists, "a.bin"), "D:\\lists\\a.bin");
    EXPECT_EQ(PathInFolder(lists, "..\\data\\a.bin"), "D:\\lists\\..\\data\\a.bin");
    EXPECT_EQ(PathInFolder(lists, "\\data\\a.bin"), "D:\\data\\a.bin") << "the list's drive";
    EXPECT_EQ(PathInFolder("\\\\srv\\share\\lists\\", "\\a.bin"), "\\\\srv\\share\\a.bin");
    EXPECT_EQ(PathInFolder(lists, "d:a.bin"), "D:\\lists\\a.bin") << "the list's own drive";
    EXPECT_EQ(PathInFolder(lists, "E:a.bin"), "E:\\a.bin");
    EXPECT_EQ(PathInFolder(lists, "C:\\a.bin"), "C:\\a.bin");
    EXPECT_EQ(PathInFolder(lists, ""), "");
}

TEST(QueuePaths, MissingFilesAreReportedInOneTextWithTheFirstFewNamed)
{
    EXPECT_EQ(MissingFilesReport({"C:\\a.bin"}, 1), "File is not exists\rC:\\a.bin");
    EXPECT_EQ(MissingFilesReport({"C:\\a.bin", "C:\\b.bin"}, 2), "File is not exists\rC:\\a.bin\rC:\\b.bin");
    std::vector<std::string> many;
    std::string expected = "File is not exists\r";
    for (std::size_t i = 0; i < MissingNamesShown; ++i) {
        many.push_back("C:\\" + std::string(1, static_cast<char>('a' + i)));
        if (i > 0)
            expected += '\r';
        expected += many.back();
    }
    EXPECT_EQ(MissingFilesReport(many, 600000), expected + "\rand " + std::to_string(600000 - MissingNamesShown) + " more");
}
