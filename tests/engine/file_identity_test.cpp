#include "engine/file_identity.h"

#include <gtest/gtest.h>

TEST(FileIdentity, NumbersDecideWhenBothAreKnownAndNamesWhenEitherIsZero)
{
    const FileIdentity file{7, 42, L"C:\\D\\A.BIN"};
    EXPECT_TRUE(SameFile(file, {7, 42, L"C:\\D\\LINK.BIN"})) << "a hard link";
    EXPECT_FALSE(SameFile(file, {7, 43, L"C:\\D\\A.BIN"})) << "the name was reused for another file";
    // A zero serial (a drive mapped from the host) or a zero index (some network file systems)
    // is no evidence: two such files are one only when their full long names are.
    EXPECT_FALSE(SameFile({0, 42, L"Z:\\A.BIN"}, {0, 42, L"Z:\\B.BIN"}));
    EXPECT_FALSE(SameFile({9, 0, L"\\\\S\\X\\A.BIN"}, {9, 0, L"\\\\S\\X\\B.BIN"}));
    EXPECT_TRUE(SameFile({0, 42, L"Z:\\A.BIN"}, {0, 42, L"Z:\\A.BIN"}));
    EXPECT_TRUE(SameFile({9, 0, L"\\\\S\\X\\A.BIN"}, {9, 5, L"\\\\S\\X\\A.BIN"}));
}
