#include "filelists/file_list_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

bool Refused(const std::string& text)
{
    StringList lines;
    lines.SetText(text);
    return PlainlyNotAList(lines);
}

} // namespace

TEST(FileListText, BinaryFilesAndFilesOfMostlyNonPathsAreNoLists)
{
    EXPECT_FALSE(Refused(""));
    EXPECT_FALSE(Refused("C:\\a.bin\r\nrel\\b c.bin\n\\\\srv\\share\\x\r\n\r\n \t\r\n\\\\?\\C:\\long\r\nd:x"));
    EXPECT_FALSE(Refused("C:\\a.bin\r\nwhat?\r\nC:\\b.bin")) << "one odd line is reported, not refused";
    EXPECT_FALSE(Refused("C:\\tab\there.bin"));

    EXPECT_TRUE(Refused("C:\\a.bin\r\nC:\\b\0.bin"s)) << "a NUL";
    EXPECT_TRUE(Refused("\x89PNG\r\n\x1a\n"s));
    EXPECT_TRUE(Refused("C:\\a.bin\x01"));
    EXPECT_TRUE(Refused("<html>\r\n<body>\r\nC:\\a.bin"));
    EXPECT_TRUE(Refused("key: value\r\nother: \"x\"\r\nC:\\a.bin"));
}
