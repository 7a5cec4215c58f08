#include "toolkit/row_keys.h"

#include <gtest/gtest.h>

TEST(RowKeys, FirstRowOfAKeyFollowsTheRowsAsTheyComeMoveAndGo)
{
    tk::RowKeys keys;
    EXPECT_EQ(keys.First(7), -1);
    for (const std::uint64_t key : {5, 7, 9, 7, 5})
        keys.Append(key);
    EXPECT_EQ(keys.First(7), 1);
    EXPECT_EQ(keys.Next(7, 1), 3);
    EXPECT_EQ(keys.Next(7, 3), -1);
    EXPECT_EQ(keys.First(5), 0);
    EXPECT_EQ(keys.First(8), -1);

    keys.Erase(0); // 7 9 7 5: the rows below move up
    EXPECT_EQ(keys.First(5), 3);
    EXPECT_EQ(keys.First(7), 0);
    EXPECT_EQ(keys.Next(7, 0), 2);
    keys.Replace(0, 9); // 9 9 7 5
    EXPECT_EQ(keys.First(7), 2);
    EXPECT_EQ(keys.First(9), 0);
    EXPECT_EQ(keys.Next(9, 0), 1);

    // Thousands of rows, looked up while they come in: the table grows under them.
    for (std::uint64_t i = 0; i < 5000; ++i) {
        keys.Append(1000 + (i << 40));
        if (i % 700 == 0) {
            ASSERT_EQ(keys.First(1000 + (i << 40)), static_cast<int>(4 + i));
        }
    }
    for (std::uint64_t i = 0; i < 5000; ++i)
        ASSERT_EQ(keys.First(1000 + (i << 40)), static_cast<int>(4 + i)) << i;
    EXPECT_EQ(keys.First(5), 3);

    keys.Clear();
    EXPECT_EQ(keys.Size(), 0);
    EXPECT_EQ(keys.First(9), -1);
}
