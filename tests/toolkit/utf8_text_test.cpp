#include "toolkit/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(Utf8Text, OnlyWellFormedUtf8Counts)
{
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("C:\\plain\\a.bin"));
    EXPECT_TRUE(IsUtf8("r\xC3\xA9sum\xC3\xA9 \xD0\x9F \xE4\xB8\xAD \xF0\x9F\x98\x80")); // é, П, 中, an emoji
    EXPECT_FALSE(IsUtf8("r\xE9sum\xE9.bin")) << "Windows-1252";
    EXPECT_FALSE(IsUtf8("\xC0\xAF")) << "overlong slash";
    EXPECT_FALSE(IsUtf8("\xE0\x80\xAF")) << "overlong slash";
    EXPECT_FALSE(IsUtf8("\xED\xA0\x80")) << "surrogate half";
    EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80")) << "past U+10FFFF";
    EXPECT_FALSE(IsUtf8("\xE4\xB8")) << "cut short";
    EXPECT_FALSE(IsUtf8("\x80"));
}

TEST(Utf8Text, LinesAreConvertedOneByOneAndRefusedOnesLeaveNoEmptyLine)
{
    // Stands in for the legacy decoding: upper-cases a line, refuses one that starts with '!'.
    const LineConversion convert = [](std::string_view line) -> std::optional<std::string> {
        if (line.front() == '!')
            return std::nullopt;
        std::string upper(line);
        for (char& c : upper)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        return upper;
    };
    EXPECT_EQ(ConvertLines("a\r\nb\rc\nd", convert), "A\r\nB\rC\nD");
    EXPECT_EQ(ConvertLines("a\r\n!x\r\nb\r\n", convert), "A\r\nB\r\n");
    EXPECT_EQ(ConvertLines("!x\rb\n!y\nc", convert), "B\nC");
    EXPECT_EQ(ConvertLines("a\r\n\r\nb\0c\r\n!z"s, convert), "A\r\n\r\nB\0C\r\n"s) << "empty lines and NULs stay";
    EXPECT_EQ(ConvertLines("", convert), "");
}
