#include "engine/keystream_coder.h"

#include <gtest/gtest.h>

TEST(KeystreamCoder, ParsesTheDefaultValue)
{
    EXPECT_EQ(ParseCoderValue("962"), 962);
}
