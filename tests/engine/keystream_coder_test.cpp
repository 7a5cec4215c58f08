#include "engine/keystream_coder.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// The definition itself: one register step per word, bytes assembled least significant first.
void ReferenceCodeBlock(unsigned char* block, CoderState& state)
{
    for (std::size_t w = 0; w < BlockWords; ++w) {
        unsigned char* at = block + 4 * w;
        for (unsigned k = 0; k < 4; ++k)
            at[k] ^= static_cast<unsigned char>(state >> (8 * k));
        state = StepRegister(state);
    }
}

std::vector<CoderPath> AvailablePaths()
{
    std::vector<CoderPath> paths;
    for (const CoderPath path : AllCoderPaths)
        if (CoderPathAvailable(path))
            paths.push_back(path);
    return paths;
}

Bytes RandomBytes(std::size_t count, std::mt19937& random)
{
    Bytes bytes(count);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(random());
    return bytes;
}

// Codes whole blocks of data the way a file job does: state carried over between blocks.
using BlockCoder = void (*)(unsigned char*, CoderState&);
CoderState CodeBlocks(Bytes& data, CoderValue value, BlockCoder code)
{
    CoderState state = static_cast<CoderState>(value);
    for (std::size_t at = 0; at < data.size(); at += BlockBytes)
        code(data.data() + at, state);
    return state;
}

CoderState CodeBlocksWith(CoderPath path, Bytes& data, CoderValue value)
{
    CoderState state = static_cast<CoderState>(value);
    for (std::size_t at = 0; at < data.size(); at += BlockBytes)
        CodeBlockWith(path, data.data() + at, state);
    return state;
}

}  // namespace

TEST(KeystreamCoder, StepRegisterSingleSteps)
{
    constexpr CoderState bit0 = 1u, bit1 = 1u << 1, bit20 = 1u << 20, bit21 = 1u << 21, bit31 = 1u << 31;
    const std::array<std::array<CoderState, 2>, 7> steps{{
        {0u, 0u},
        {bit0, bit1 | bit0},
        {bit31, bit0},
        {bit20, bit21 | bit0},
        {bit31 | bit20, bit21},
        {bit31 | bit20 | bit0, bit21 | bit1 | bit0},
        {0xFFFFFFFFu, 0xFFFFFFFFu},
    }};
    for (const auto& [before, after] : steps)
        EXPECT_EQ(StepRegister(before), after) << std::hex << before;
}

TEST(KeystreamCoder, StepRegister32MatchesThirtyTwoSteps)
{
    std::mt19937 random(32);
    std::vector<CoderState> states{0u, 1u, 0xFFFFFFFFu, 0x80000000u, 0x00100000u, 0x00000800u, 0x7FFu};
    for (int i = 0; i < 2000; ++i)
        states.push_back(random());
    for (CoderState s : states) {
        CoderState stepped = s;
        for (int i = 0; i < 32; ++i)
            stepped = StepRegister(stepped);
        ASSERT_EQ(StepRegister32(s), stepped) << std::hex << s;
    }
}

TEST(KeystreamCoder, CoderValueIsASignedDecimalModulo2To32WithBlanksAround)
{
    // The meanings of values typed before stay, so files coded with them still decode.
    const std::pair<const char*, CoderValue> accepted[] = {
        {"962", 962}, {"+7", 7}, {"-1", -1}, {"-2147483648", INT32_MIN}, {"2147483648", INT32_MIN},
        {"4294967295", -1}, {"4294967297", 1}, {"-4294967297", -1}, {"00962", 962},
        {" 962", 962}, {"962 ", 962}, {"\t-5 \t", -5},
    };
    for (const auto& [text, value] : accepted) {
        const ParsedCoderValue parsed = ParseCoderValue(text);
        EXPECT_FALSE(parsed.fault) << '"' << text << '"';
        EXPECT_EQ(parsed.value, value) << '"' << text << '"';
    }
    for (const char* text : {"", "  ", "abc", "0x10", "12abc", "1 2", "-", "+", "+-5", "--5", "- 5", "5-", "1e3"})
        EXPECT_EQ(ParseCoderValue(text).fault, CoderValueFault::NotANumber) << '"' << text << '"';
    // All of these code nothing: the keystream would be all zeros.
    for (const char* text : {"0", "-0", "+000", "4294967296", "-4294967296", "8589934592"})
        EXPECT_EQ(ParseCoderValue(text).fault, CoderValueFault::LeavesDataUnchanged) << '"' << text << '"';
}

TEST(KeystreamCoder, ZeroKeepsDataAndAllOnesInvertsIt)
{
    std::mt19937 random(1);
    const Bytes source = RandomBytes(2 * BlockBytes, random);
    for (const CoderPath path : AvailablePaths()) {
        Bytes data = source;
        EXPECT_EQ(CodeBlocksWith(path, data, 0), 0u) << CoderPathName(path);
        EXPECT_EQ(data, source) << CoderPathName(path);

        data = source;
        EXPECT_EQ(CodeBlocksWith(path, data, ParseCoderValue("-1").value), 0xFFFFFFFFu) << CoderPathName(path);
        for (std::size_t i = 0; i < data.size(); ++i)
            ASSERT_EQ(data[i], static_cast<unsigned char>(~source[i])) << CoderPathName(path) << " byte " << i;
    }
}

TEST(KeystreamCoder, WordsAreLittleEndian)
{
    for (const CoderPath path : AvailablePaths()) {
        Bytes data(BlockBytes, 0);
        CodeBlocksWith(path, data, 1);
        EXPECT_EQ(data[0], 0x01) << CoderPathName(path);
        EXPECT_EQ(data[1] | data[2] | data[3], 0) << CoderPathName(path);

        data.assign(BlockBytes, 0);
        CodeBlocksWith(path, data, ParseCoderValue("-2147483648").value);
        EXPECT_EQ(data[0] | data[1] | data[2], 0) << CoderPathName(path);
        EXPECT_EQ(data[3], 0x80) << CoderPathName(path);
    }
}

TEST(KeystreamCoder, TwoBlocksFollowOneContinuousKeystream)
{
    const CoderValue value = 962;
    std::vector<CoderState> keystream(2 * BlockWords);
    CoderState s = static_cast<CoderState>(value);
    for (auto& key : keystream) {
        key = s;
        s = StepRegister(s);
    }

    Bytes data(2 * BlockBytes, 0);
    EXPECT_EQ(CodeBlocks(data, value, CodeBlock), s);
    for (std::size_t w = 0; w < keystream.size(); ++w) {
        const CoderState word = data[4 * w] | data[4 * w + 1] << 8 | data[4 * w + 2] << 16 | static_cast<CoderState>(data[4 * w + 3]) << 24;
        ASSERT_EQ(word, keystream[w]) << "word " << w;
    }
}

TEST(KeystreamCoder, CodingTwiceRestoresIncludingAnIncompleteLastWord)
{
    // A file of 10 bytes: the last word holds two bytes of it, the rest of the block is stale.
    std::mt19937 random(10);
    const Bytes file = RandomBytes(10, random);
    const CoderValue value = ParseCoderValue("-123456789").value;

    Bytes block = RandomBytes(BlockBytes, random);
    std::copy(file.begin(), file.end(), block.begin());
    CoderState state = static_cast<CoderState>(value);
    CodeBlock(block.data(), state);
    const Bytes coded(block.begin(), block.begin() + 10);

    const CoderState third = StepRegister(StepRegister(static_cast<CoderState>(value)));
    EXPECT_EQ(coded[8], file[8] ^ static_cast<unsigned char>(third));
    EXPECT_EQ(coded[9], file[9] ^ static_cast<unsigned char>(third >> 8));

    // Coded again from a fresh block with other stale bytes, as the next job would.
    block = RandomBytes(BlockBytes, random);
    std::copy(coded.begin(), coded.end(), block.begin());
    state = static_cast<CoderState>(value);
    CodeBlock(block.data(), state);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 10), file);
}

TEST(KeystreamCoder, EveryPathMatchesTheOneStepLoop)
{
    std::mt19937 random(2024);
    std::vector<CoderValue> values{0, 1, -1, 962, INT32_MIN, INT32_MAX, 0x00100000, 0x7FF, 0x800};
    for (int i = 0; i < 60; ++i)
        values.push_back(static_cast<CoderValue>(random()));

    for (const CoderValue value : values) {
        const std::size_t blocks = 1 + random() % 4;
        const Bytes source = RandomBytes(blocks * BlockBytes, random);
        Bytes expected = source;
        const CoderState expectedState = CodeBlocks(expected, value, ReferenceCodeBlock);

        Bytes data = source;
        EXPECT_EQ(CodeBlocks(data, value, CodeBlock), expectedState) << "value " << value;
        ASSERT_EQ(data, expected) << "value " << value;
        for (const CoderPath path : AvailablePaths()) {
            data = source;
            EXPECT_EQ(CodeBlocksWith(path, data, value), expectedState) << CoderPathName(path) << " value " << value;
            ASSERT_EQ(data, expected) << CoderPathName(path) << " value " << value;
        }
    }
}

TEST(KeystreamCoder, PathsAcceptAnUnalignedBlock)
{
    std::mt19937 random(3);
    const Bytes source = RandomBytes(BlockBytes + 1, random);
    Bytes expected(source.begin() + 1, source.end());
    CoderState expectedState = 962;
    ReferenceCodeBlock(expected.data(), expectedState);
    for (const CoderPath path : AvailablePaths()) {
        Bytes data = source;
        CoderState state = 962;
        CodeBlockWith(path, data.data() + 1, state);
        EXPECT_EQ(state, expectedState) << CoderPathName(path);
        EXPECT_EQ(Bytes(data.begin() + 1, data.end()), expected) << CoderPathName(path);
    }
}
