#include "engine/coding_paths.h"

#include <gtest/gtest.h>

TEST(CodingPaths, DestinationTakesTheNameAfterTheLastBackslash)
{
    EXPECT_EQ(DestinationPath("C:\\data\\report.doc", "D:\\out\\"), "D:\\out\\report.doc");
    EXPECT_EQ(DestinationPath("\\\\server\\share\\a.b", "D:\\"), "D:\\a.b");
    EXPECT_EQ(DestinationPath("C:\\x", "D:\\out\\"), "D:\\out\\x");
    // Forward slashes and drive colons do not count for this rule.
    EXPECT_EQ(DestinationPath("C:\\dir/sub/f.txt", "D:\\o\\"), "D:\\o\\dir/sub/f.txt");
    // POSIX paths name their separator.
    EXPECT_EQ(DestinationPath("/home/u/f.txt", "/out/", '/'), "/out/f.txt");
}

TEST(CodingPaths, DestinationWithoutABackslashIsTheFolderItself)
{
    EXPECT_EQ(DestinationPath("report.doc", "D:\\out\\"), "D:\\out\\");
    EXPECT_EQ(DestinationPath("C:report.doc", "D:\\out\\"), "D:\\out\\");
    EXPECT_EQ(DestinationPath("x", "D:\\out\\"), "D:\\out\\");
    EXPECT_EQ(DestinationPath("", "D:\\out\\"), "D:\\out\\");
    // The last character is not examined, so a lone trailing backslash is not found.
    EXPECT_EQ(DestinationPath("name\\", "D:\\out\\"), "D:\\out\\");
    EXPECT_EQ(DestinationPath("a\\b\\", "D:\\out\\"), "D:\\out\\b\\");
}

TEST(CodingPaths, CaptionNameFollowsTheLastColonBackslashOrSlash)
{
    EXPECT_EQ(CaptionFileName("C:\\data\\report.doc"), "report.doc");
    EXPECT_EQ(CaptionFileName("C:report.doc"), "report.doc");
    EXPECT_EQ(CaptionFileName("C:\\data/sub/f.txt"), "f.txt");
    EXPECT_EQ(CaptionFileName("plain.txt"), "plain.txt");
    EXPECT_EQ(CaptionFileName("C:\\dir\\"), "");
}

TEST(CodingPaths, ProgressCaption)
{
    // Under one block the whole file is done at once: no blank after the sign.
    EXPECT_EQ(ProgressCaption(0, 0, 1, "a.txt"), "100%a.txt");
    EXPECT_EQ(ProgressCaption(0, 0, 16383, "a.txt"), "100%a.txt");
    EXPECT_EQ(ProgressCaption(0, 1, 16384, "a.txt"), "0% a.txt");
    // 5 MiB: blocks 0 and 256 of 0..320.
    EXPECT_EQ(ProgressCaption(256, 320, 5 << 20, "f"), "80% f");
    EXPECT_EQ(ProgressCaption(320, 320, 5 << 20, "f"), "100% f");
    // Truncated, never rounded up.
    EXPECT_EQ(ProgressCaption(2, 3, 3 * 16384, "f"), "66% f");
    // 64-bit sizes: 8 GiB has 524288 full blocks; i * 100 would overflow 32 bits.
    const std::uint64_t eightGiB = std::uint64_t{8} << 30;
    EXPECT_EQ(ProgressCaption(262144, 524288, eightGiB, "big"), "50% big");
    EXPECT_EQ(ProgressCaption(524032, 524288, eightGiB, "big"), "99% big");
}
