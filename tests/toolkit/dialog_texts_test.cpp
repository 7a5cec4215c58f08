#include "toolkit/dialog_texts.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(DialogTexts, FilterBarsBecomeNulsAndTheListEndsInTwo)
{
    const std::string filter = PlatformFilter("FileList Files (*.flt)|*.flt|All Files (*.*)|*.*");
    EXPECT_EQ(filter, "FileList Files (*.flt)\0*.flt\0All Files (*.*)\0*.*\0"s);
    EXPECT_EQ(filter.c_str()[filter.size()], '\0') << "the second NUL of the end";
}

TEST(DialogTexts, MultiSelectBufferBecomesFolderAndCrSeparatedNames)
{
    EXPECT_EQ(MultiSelectResult(L"C:\\dir\\a.txt\0\0junk"s), L"C:\\dir\\a.txt") << "one file: its full path";
    EXPECT_EQ(MultiSelectResult(L"C:\\dir\0a.txt\0b c.txt\0\0junk\0"s), L"C:\\dir\ra.txt\rb c.txt");
    EXPECT_EQ(MultiSelectResult(L"C:\\\0a\0b\0\0"s), L"C:\\\ra\rb") << "a drive's root keeps its backslash";
    EXPECT_EQ(MultiSelectResult(L"\0\0"s), L"");
}

TEST(DialogTexts, MultiSelectWalkStopsAtTheBufferEnd)
{
    EXPECT_EQ(MultiSelectResult(L"C:\\d\0a\0"s), L"C:\\d\ra");
    EXPECT_EQ(MultiSelectResult(L"C:\\d\0ab"s), L"C:\\d\rab");
    EXPECT_EQ(MultiSelectResult(L""), L"");
}

TEST(DialogTexts, BrowserInitialPathDropsOneBackslashButKeepsADrivesRoot)
{
    EXPECT_EQ(BrowserInitialPath("D:\\out\\"), "D:\\out");
    EXPECT_EQ(BrowserInitialPath("D:\\out"), "D:\\out");
    EXPECT_EQ(BrowserInitialPath("D:\\out\\\\"), "D:\\out\\");
    EXPECT_EQ(BrowserInitialPath("D:"), "D:\\");
    EXPECT_EQ(BrowserInitialPath("D:\\"), "D:\\");
    EXPECT_EQ(BrowserInitialPath("\\"), "");
    EXPECT_EQ(BrowserInitialPath(""), "");
}
