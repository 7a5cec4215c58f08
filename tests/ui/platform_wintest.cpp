#include <gtest/gtest.h>

#include <windows.h>

// Paths and texts are 8-bit; the test prefix fixes their code page so results don't depend
// on the machine's locale.
TEST(Platform, AnsiCodePageIsWindows1252)
{
    EXPECT_EQ(GetACP(), 1252u);
}
