#pragma once
// The keystream coder: a 32-bit linear feedback shift register whose states are
// combined with the data word by word. Coding is its own inverse.
#include <cstddef>
#include <cstdint>
#include <string_view>

using CoderValue = std::int32_t;   // what the user typed; only its bit pattern matters
using CoderState = std::uint32_t;  // the register

inline constexpr std::size_t BlockBytes = 16384;
inline constexpr std::size_t BlockWords = BlockBytes / 4;

// The one block buffer of the program, reused by every file job.
alignas(64) inline unsigned char CodingBuffer[BlockBytes];

// Signed decimal with at most one sign, wrapping modulo 2^32; never fails.
CoderValue ParseCoderValue(std::string_view text);

// One register step: shift left, feedback = bit31 ^ bit20 ^ bit0 of the old state.
constexpr CoderState StepRegister(CoderState s)
{
    return (s << 1) | (((s >> 31) ^ (s >> 20) ^ s) & 1u);
}

// Codes all 4096 little-endian words of a block in place and advances the state by 4096 steps.
void CodeBlock(unsigned char* block, CoderState& state);
