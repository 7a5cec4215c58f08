#include "toolkit/string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::vector<std::string> Items(const StringList& list)
{
    return {list.begin(), list.end()};
}

std::vector<std::string> Split(const std::string& text)
{
    StringList list;
    list.SetText(text);
    return Items(list);
}

using Lines = std::vector<std::string>;

} // namespace

TEST(StringList, LineBreaksAreCrLfCrOrLf)
{
    EXPECT_EQ(Split("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(Split("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(Split("a\nb\n"), (Lines{"a", "b"})) << "files written by scripts and other systems";
    EXPECT_EQ(Split("a\r\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split("a\n\rb"), (Lines{"a", "", "b"})) << "only CR LF is one break";
    EXPECT_EQ(Split("a\r\n"), (Lines{"a"})) << "a final break adds no empty line";
    EXPECT_EQ(Split("\r\n"), (Lines{""}));
    EXPECT_TRUE(Split("").empty());
}

TEST(StringList, EmptyLinesAndSpacesAreKept)
{
    EXPECT_EQ(Split("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split("\r\r"), (Lines{"", ""}));
    EXPECT_EQ(Split(" a \t\r\n\tb "), (Lines{" a \t", "\tb "}));
}

TEST(StringList, NulIsKeptAsSubSoNothingAfterItIsLost)
{
    EXPECT_EQ(Split("a\r\n\0b\r\nc"s), (Lines{"a", "\x1A" "b", "c"}));
    EXPECT_EQ(Split("ab\0x\nc\0"s), (Lines{"ab\x1Ax", "c\x1A"}));
}

TEST(StringList, SetTextReplacesOrAppends)
{
    StringList list;
    list.Add("first");
    list.SetText("x\r\ny", true);
    EXPECT_EQ(Items(list), (Lines{"first", "x", "y"}));
    list.SetText("", true);
    EXPECT_EQ(list.Count(), 3u);
    list.SetText("z");
    EXPECT_EQ(Items(list), (Lines{"z"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0u);
}

TEST(StringList, GetTextEndsEveryItemWithCrLfAndRoundTrips)
{
    StringList list;
    EXPECT_EQ(list.GetText(), "");
    list.SetText("C:\\a b.txt\r\n\r\n rel\\x \r\nlast");
    EXPECT_EQ(list.GetText(), "C:\\a b.txt\r\n\r\n rel\\x \r\nlast\r\n");

    StringList again;
    again.SetText(list.GetText());
    EXPECT_EQ(Items(again), Items(list));
}

TEST(StringList, ItemsAreReadReplacedAndAddedWithoutNul)
{
    StringList list;
    list.Add("one");
    list.Add("tw\0o"s);
    list.Add("");
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Item(1), "tw");
    list.SetItem(0, "uno");
    list.SetItem(2, "x\0y"s);
    EXPECT_EQ(Items(list), (Lines{"uno", "tw", "x"}));
    EXPECT_THROW(list.Item(3), std::out_of_range);
}
