#include "toolkit/message_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

TEST(MessageText, LongLinesKeepBothEndsAndManyLinesEndInAnEllipsis)
{
    EXPECT_EQ(FitMessageText("Can't open file\rC:\\a.bin"), "Can't open file\rC:\\a.bin");

    const std::string path = "C:\\" + std::string(10000, 'x') + "\\name.bin";
    const std::string fitted = FitMessageText("File is not exists\r" + path + "\rD:\\b.bin");
    const std::string line = fitted.substr(19, fitted.find('\r', 19) - 19);
    EXPECT_EQ(line.size(), MessageLineChars);
    EXPECT_EQ(line.substr(0, 4), "C:\\x");
    EXPECT_EQ(line.substr(line.size() - 9), "\\name.bin");
    EXPECT_NE(line.find("..."), std::string::npos);
    EXPECT_EQ(fitted.substr(fitted.size() - 9), "\rD:\\b.bin");

    // A character of several bytes is never split.
    std::string utf8;
    for (int i = 0; i < 200; ++i)
        utf8 += "\xC3\xA9";
    const std::string fittedUtf8 = FitMessageText(utf8);
    for (std::size_t i = 0; i < fittedUtf8.size(); i += 2) {
        if (fittedUtf8.compare(i, 3, "...") == 0)
            i += 1; // the ellipsis takes three bytes; the rest goes on in pairs
        else
            ASSERT_EQ(fittedUtf8.compare(i, 2, "\xC3\xA9"), 0) << "at byte " << i;
    }

    std::string lines;
    for (std::size_t i = 0; i < 3 * MessageLines; ++i)
        lines += "line\r";
    const std::string cut = FitMessageText(lines);
    EXPECT_EQ(std::count(cut.begin(), cut.end(), '\r'), static_cast<long>(MessageLines - 1));
    EXPECT_EQ(cut.substr(cut.size() - 4), "\r...");
}
