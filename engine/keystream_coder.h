#pragma once
// The keystream coder: a 32-bit linear feedback shift register whose states are
// combined with the data word by word. Coding is its own inverse.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

using CoderValue = std::int32_t;   // what the user typed; only its bit pattern matters
using CoderState = std::uint32_t;  // the register

inline constexpr std::size_t BlockBytes = 16384;
inline constexpr std::size_t BlockWords = BlockBytes / 4;

// The one coding buffer of the program, reused by every file job: 256 blocks. Each ReadFile,
// SetFilePointer and WriteFile call costs microseconds under Wine, so one call per block took
// most of a job's time. A job uses 64 blocks in place and 16 into a new file, since a chunk
// that outgrows the processor's cache between reading, coding and writing is slower. (A
// buffer of only 64 blocks measured slower in place, by a tenth, for no reason found.)
inline constexpr std::size_t BufferBlocks = 256;
// Defined once in keystream_coder.cpp rather than inline here: mingw's linker keeps an inline
// array in .data, which stored 4 MiB of zeros in the program file.
alignas(64) extern unsigned char CodingBuffer[BufferBlocks * BlockBytes];

// Why a typed coder value is refused.
enum class CoderValueFault {
    NotANumber,          // anything but blanks around an optional sign and decimal digits
    LeavesDataUnchanged, // 0 modulo 2^32: the keystream is all zeros
};

// The coder value a text stands for: blanks around it ignored, then one optional sign and
// decimal digits, taken modulo 2^32 ("4294967297" is 1, "-1" all ones), so every value
// typed before keeps its keystream.
struct ParsedCoderValue {
    CoderValue value = 0;
    std::optional<CoderValueFault> fault; // set when the text is refused
};
ParsedCoderValue ParseCoderValue(std::string_view text);

// One register step: shift left, feedback = bit31 ^ bit20 ^ bit0 of the old state.
constexpr CoderState StepRegister(CoderState s)
{
    return (s << 1) | (((s >> 31) ^ (s >> 20) ^ s) & 1u);
}

// The state 32 steps after s, without stepping 32 times.
constexpr CoderState StepRegister32(CoderState s)
{
    // Bit b of the new state (the bit that entered 32 - b steps later) is the feedback
    // bit one step older XOR the bits 21 and 32 steps older. The upper 21 new bits only
    // need old bits for the last two terms, so they are a running XOR from the top down;
    // the lower 11 then need only the upper ones.
    constexpr auto xorFromTop = [](std::uint32_t y) {
        y ^= y >> 1;
        y ^= y >> 2;
        y ^= y >> 4;
        y ^= y >> 8;
        y ^= y >> 16;
        return y;
    };
    constexpr std::uint32_t upperMask = 0xFFFFF800u;  // bits 31..11
    const std::uint32_t upper = (xorFromTop((s ^ (s << 11)) & upperMask) ^ (0u - (s & 1u))) & upperMask;
    const std::uint32_t lower = (xorFromTop(((upper >> 21) ^ s) & ~upperMask) ^ (0u - ((upper >> 11) & 1u))) & ~upperMask;
    return upper | lower;
}

// The state `steps` register steps after s, in a few hundred operations however many steps:
// where the coding of a file at any offset starts (the register steps once per 4 bytes).
CoderState StepRegisterBy(CoderState s, std::uint64_t steps);

// Codes all 4096 little-endian words of a block in place and advances the state by 4096 steps.
// Uses the fastest way the processor offers.
void CodeBlock(unsigned char* block, CoderState& state);
// The same over `blocks` consecutive blocks, as many CodeBlock calls one after another would;
// the wider paths are markedly faster over many blocks at once.
void CodeChunk(unsigned char* chunk, std::size_t blocks, CoderState& state);

// The ways CodeBlock can run; all give the same bytes and the same final state.
enum class CoderPath { Portable, Sse2, Avx2, Avx512 };
inline constexpr CoderPath AllCoderPaths[] = {CoderPath::Portable, CoderPath::Sse2, CoderPath::Avx2, CoderPath::Avx512};

bool CoderPathAvailable(CoderPath path);
CoderPath FastestCoderPath();
const char* CoderPathName(CoderPath path);
// CodeBlock and CodeChunk on the given path, which must be available.
void CodeBlockWith(CoderPath path, unsigned char* block, CoderState& state);
void CodeChunkWith(CoderPath path, unsigned char* chunk, std::size_t blocks, CoderState& state);
