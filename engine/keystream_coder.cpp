#include "engine/keystream_coder.h"

#include <bit>
#include <cstring>
#include <memory>

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define VORRIN_CODER_X86 1
#endif
// The sixteen-lane path in 64-bit builds only: 32-bit code has a quarter of the vector
// registers, and the 32-bit program is the one that must stay small.
#if defined(__x86_64__)
#define VORRIN_CODER_AVX512 1
#endif

// Words are read and written with memcpy, which is little-endian only on such machines.
static_assert(std::endian::native == std::endian::little);

// Zero-initialised, so it takes no room in the program file.
alignas(64) unsigned char CodingBuffer[BufferBlocks * BlockBytes];

ParsedCoderValue ParseCoderValue(std::string_view text)
{
    constexpr std::string_view blanks = " \t";
    const std::size_t first = text.find_first_not_of(blanks);
    constexpr ParsedCoderValue notANumber{0, CoderValueFault::NotANumber};
    if (first == std::string_view::npos)
        return notANumber;
    text = text.substr(first, text.find_last_not_of(blanks) + 1 - first);
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return notANumber;
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return notANumber;
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    if (negative)
        value = 0u - value;
    if (value == 0)
        return {0, CoderValueFault::LeavesDataUnchanged};
    return {static_cast<CoderValue>(value), std::nullopt};
}

// Stepping word by word costs a chain of dependent bit operations per word. Two facts
// make it cheaper:
// - Given the state s and the state 32 steps later, the 31 states between are windows
//   of their 64-bit concatenation, one shift each.
// - Every state bit is the register's bit sequence delayed, and that sequence obeys
//   x[n] = x[n-1] ^ x[n-21] ^ x[n-32]; so whole states obey the same recurrence, and
//   squaring the feedback polynomial twice (p(z)^4 = p(z^4)) gives
//   s[n] = s[n-4] ^ s[n-84] ^ s[n-128]: vectors of 4 consecutive states obey
//   V[m] = V[m-1] ^ V[m-21] ^ V[m-32], and vectors of 8 the same with s[n-8], s[n-168], s[n-256].
namespace {

constexpr std::size_t ChunkWords = 32;
static_assert(BlockWords % ChunkWords == 0);

// The 32 states from s on, as windows over s and the state 32 steps later.
template <typename WordFn>
CoderState ForEachChunkState(CoderState s, WordFn&& wordFn)
{
    const CoderState next = StepRegister32(s);
    const std::uint64_t pair = (std::uint64_t{s} << 32) | next;
    for (unsigned k = 0; k < ChunkWords; ++k)
        wordFn(k, static_cast<CoderState>(pair >> (32 - k)));
    return next;
}

inline void XorWord(unsigned char* at, std::uint32_t key)
{
    std::uint32_t word;
    std::memcpy(&word, at, 4);
    word ^= key;
    std::memcpy(at, &word, 4);
}

void CodeBlockPortable(unsigned char* block, CoderState& state)
{
    CoderState s = state;
    for (std::size_t w = 0; w < BlockWords; w += ChunkWords)
        s = ForEachChunkState(s, [&](unsigned k, CoderState key) { XorWord(block + 4 * (w + k), key); });
    state = s;
}

// The first `count` states from s into keys; returns the state after them.
inline CoderState FillKeystream(std::uint32_t* keys, std::size_t count, CoderState s)
{
    for (std::size_t w = 0; w < count; w += ChunkWords)
        s = ForEachChunkState(s, [&](unsigned k, CoderState key) { keys[w + k] = key; });
    return s;
}

// The state after `words` words, from the last 32 states kept in the ring (word w at w % ringWords).
inline CoderState StateAfter(const std::uint32_t* ring, std::size_t ringWords, std::size_t words)
{
    const auto at = [&](std::size_t back) { return ring[(words - back) % ringWords]; };
    return at(1) ^ at(21) ^ at(32);
}

// The vector paths keep the last 32 key vectors in a ring; V[m-32] sits where V[m] goes.
// The ring runs on across the blocks of a chunk: made afresh for every block it cost a
// sizable share of the wider paths' time.
constexpr std::size_t RingVectors = 32;
constexpr std::size_t Lag21Slot = RingVectors - 21;

// 64-bit Windows compilers cannot align the stack beyond 16, so a ring is aligned by hand
// (vectors split across cache lines halve the speed) and only unaligned moves are used.
template <std::size_t RingWords, std::size_t Alignment>
struct AlignedRing {
    std::uint32_t storage[RingWords + Alignment / 4];
    std::uint32_t* Words()
    {
        void* aligned = storage;
        std::size_t space = sizeof storage;
        return static_cast<std::uint32_t*>(std::align(Alignment, RingWords * 4, aligned, space));
    }
};

void CodeChunkPortable(unsigned char* data, std::size_t blocks, CoderState& state)
{
    for (std::size_t b = 0; b < blocks; ++b)
        CodeBlockPortable(data + b * BlockBytes, state);
}

#ifdef VORRIN_CODER_X86

// The loop of the SSE2 and AVX2 paths, over vectors of `Lanes` states written with the
// compiler's vector types: inlined into each path, it is compiled for that path's instructions.
template <std::size_t Lanes, std::size_t Alignment>
[[gnu::always_inline]] inline void CodeChunkVectors(unsigned char* chunk, std::size_t blocks, CoderState& state)
{
    using Vector [[gnu::vector_size(Lanes * 4)]] = std::uint32_t;
    // Data may sit anywhere, and aliases the bytes it is read from.
    using Unaligned [[gnu::vector_size(Lanes * 4), gnu::aligned(1), gnu::may_alias]] = std::uint32_t;
    constexpr std::size_t ringWords = RingVectors * Lanes;
    AlignedRing<ringWords, Alignment> storage;
    std::uint32_t* const ring = storage.Words();
    FillKeystream(ring, ringWords, state);

    const auto slot = [&](std::size_t i) -> Vector& { return *reinterpret_cast<Vector*>(ring + Lanes * i); };
    const auto data = [&](std::size_t m) -> Unaligned& { return *reinterpret_cast<Unaligned*>(chunk + Lanes * 4 * m); };
    for (std::size_t i = 0; i < RingVectors; ++i)
        data(i) ^= slot(i);

    const std::size_t vectors = blocks * BlockWords / Lanes;
    Vector previous = slot(RingVectors - 1);
    for (std::size_t m = RingVectors; m < vectors; m += RingVectors) {
        for (std::size_t i = 0; i < RingVectors; ++i) {
            previous ^= slot(i) ^ slot((i + Lag21Slot) % RingVectors);
            slot(i) = previous;
            data(m + i) ^= previous;
        }
    }
    state = StateAfter(ring, ringWords, vectors * Lanes);
}

__attribute__((target("sse2"))) void CodeChunkSse2(unsigned char* chunk, std::size_t blocks, CoderState& state)
{
    CodeChunkVectors<4, 16>(chunk, blocks, state);
}

__attribute__((target("avx2"))) void CodeChunkAvx2(unsigned char* chunk, std::size_t blocks, CoderState& state)
{
    CodeChunkVectors<8, 32>(chunk, blocks, state);
}

#ifdef VORRIN_CODER_AVX512
// Sixteen states a vector, and the three-way exclusive-or in one instruction.
__attribute__((target("avx512f"))) void CodeChunkAvx512(unsigned char* chunk, std::size_t blocks, CoderState& state)
{
    constexpr std::size_t lanes = 16;
    constexpr std::size_t ringWords = RingVectors * lanes;
    constexpr int threeWayXor = 0x96;
    AlignedRing<ringWords, 64> storage;
    std::uint32_t* const ring = storage.Words();
    FillKeystream(ring, ringWords, state);

    const auto slot = [&](std::size_t i) { return ring + lanes * i; };
    const auto data = [&](std::size_t m) { return chunk + 64 * m; };
    for (std::size_t i = 0; i < RingVectors; ++i)
        _mm512_storeu_si512(data(i), _mm512_xor_si512(_mm512_loadu_si512(data(i)), _mm512_loadu_si512(slot(i))));

    const std::size_t vectors = blocks * BlockWords / lanes;
    __m512i previous = _mm512_loadu_si512(slot(RingVectors - 1));
    for (std::size_t m = RingVectors; m < vectors; m += RingVectors) {
        for (std::size_t i = 0; i < RingVectors; ++i) {
            previous = _mm512_ternarylogic_epi32(previous, _mm512_loadu_si512(slot(i)),
                                                 _mm512_loadu_si512(slot((i + Lag21Slot) % RingVectors)), threeWayXor);
            _mm512_storeu_si512(slot(i), previous);
            _mm512_storeu_si512(data(m + i), _mm512_xor_si512(_mm512_loadu_si512(data(m + i)), previous));
        }
    }
    state = StateAfter(ring, ringWords, vectors * lanes);
}
#endif

#endif

CoderPath ChooseFastestCoderPath()
{
    for (const CoderPath path : {CoderPath::Avx512, CoderPath::Avx2, CoderPath::Sse2})
        if (CoderPathAvailable(path))
            return path;
    return CoderPath::Portable;
}

}  // namespace

bool CoderPathAvailable(CoderPath path)
{
#ifdef VORRIN_CODER_X86
    __builtin_cpu_init();  // may run before the runtime's own initialisation did
    switch (path) {
    case CoderPath::Portable: return true;
    case CoderPath::Sse2: return __builtin_cpu_supports("sse2");
    case CoderPath::Avx2: return __builtin_cpu_supports("avx2");
#ifdef VORRIN_CODER_AVX512
    case CoderPath::Avx512: return __builtin_cpu_supports("avx512f");
#else
    case CoderPath::Avx512: return false;
#endif
    }
    return false;
#else
    return path == CoderPath::Portable;
#endif
}

CoderPath FastestCoderPath()
{
    static const CoderPath fastest = ChooseFastestCoderPath();
    return fastest;
}

const char* CoderPathName(CoderPath path)
{
    switch (path) {
    case CoderPath::Portable: return "portable";
    case CoderPath::Sse2: return "sse2";
    case CoderPath::Avx2: return "avx2";
    case CoderPath::Avx512: return "avx512";
    }
    return "?";
}

// Not inlined into its three callers: the program is kept small.
__attribute__((noinline, noclone)) void CodeChunkWith(CoderPath path, unsigned char* chunk, std::size_t blocks, CoderState& state)
{
    if (blocks == 0)
        return;
    switch (path) {
#ifdef VORRIN_CODER_X86
    case CoderPath::Sse2: CodeChunkSse2(chunk, blocks, state); return;
    case CoderPath::Avx2: CodeChunkAvx2(chunk, blocks, state); return;
#endif
#ifdef VORRIN_CODER_AVX512
    case CoderPath::Avx512: CodeChunkAvx512(chunk, blocks, state); return;
#endif
    default: CodeChunkPortable(chunk, blocks, state); return;
    }
}

__attribute__((noinline, noclone)) void CodeChunk(unsigned char* chunk, std::size_t blocks, CoderState& state)
{
    CodeChunkWith(FastestCoderPath(), chunk, blocks, state);
}

void CodeBlockWith(CoderPath path, unsigned char* block, CoderState& state)
{
    CodeChunkWith(path, block, 1, state);
}

void CodeBlock(unsigned char* block, CoderState& state)
{
    CodeChunk(block, 1, state);
}

namespace {

// A linear map of register states, as the images of its 32 unit states.
using StepMatrix = std::uint32_t[32];

CoderState Apply(const StepMatrix m, CoderState s)
{
    CoderState out = 0;
    for (unsigned bit = 0; bit < 32; ++bit)
        if (s >> bit & 1u)
            out ^= m[bit];
    return out;
}

// a := a after b, that is: first b, then a.
void Compose(StepMatrix a, const StepMatrix b)
{
    StepMatrix result;
    for (unsigned bit = 0; bit < 32; ++bit)
        result[bit] = Apply(a, b[bit]);
    std::memcpy(a, result, sizeof result);
}

} // namespace

// The register's step is linear (no constant enters), so n steps are the n-th power of one
// step's matrix, squared and multiplied along the bits of n.
CoderState StepRegisterBy(CoderState s, std::uint64_t steps)
{
    StepMatrix power;
    for (unsigned bit = 0; bit < 32; ++bit)
        power[bit] = StepRegister(CoderState{1} << bit);
    for (; steps != 0; steps >>= 1) {
        if (steps & 1u)
            s = Apply(power, s);
        if (steps > 1)
            Compose(power, power);
    }
    return s;
}
