#include "toolkit/process_text.h"
#include "toolkit/string_list.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

// The manifest makes the A calls UTF-8; lists saved before that were in the test prefix's
// ANSI code page, Windows-1252, and still open.
TEST(Platform, ProcessCodePageIsUtf8AndOldListsReadInTheLegacyOne)
{
    EXPECT_EQ(GetACP(), 65001u);
    EXPECT_EQ(LegacyAnsiCodePage(), 1252u);

    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "vorrin-code-page-" + std::to_string(GetCurrentProcessId()) + ".flt";
    // One line in Windows-1252, one in UTF-8, one in ASCII.
    std::ofstream(path, std::ios::binary) << "C:\\r\xE9sum\xE9.bin\r\nC:\\\xD0\x9F\xC3\xA9.bin\r\nC:\\a.bin";
    StringList list;
    ASSERT_TRUE(list.LoadFromFile(path));
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Item(0), "C:\\r\xC3\xA9sum\xC3\xA9.bin");
    EXPECT_EQ(list.Item(1), "C:\\\xD0\x9F\xC3\xA9.bin");
    EXPECT_EQ(list.Item(2), "C:\\a.bin");

    // Written back as UTF-8 without a signature; ASCII alone stays as it always was.
    ASSERT_TRUE(list.SaveToFile(path));
    EXPECT_EQ(ReadText(path), "C:\\r\xC3\xA9sum\xC3\xA9.bin\r\nC:\\\xD0\x9F\xC3\xA9.bin\r\nC:\\a.bin\r\n");
    StringList ascii;
    ascii.SetText("C:\\a.bin\r\nb c.txt");
    ASSERT_TRUE(ascii.SaveToFile(path));
    EXPECT_EQ(ReadText(path), "C:\\a.bin\r\nb c.txt\r\n");

    // A list an editor saved with the UTF-8 signature.
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF" "C:\\a.bin";
    ASSERT_TRUE(list.LoadFromFile(path));
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Item(0), "C:\\a.bin");
    DeleteFileA(path.c_str());
}
