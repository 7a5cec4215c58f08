// Times the one-step-per-word loop and CodeBlock over the same blocks in the same run and
// prints both throughputs and their ratio. Repetitions alternate between the two and the
// best of each counts, so other work on the machine weighs little.
#include "engine/keystream_coder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

void CodeBlockPlainLoop(unsigned char* block, CoderState& state);

namespace {

constexpr int Repetitions = 15;
constexpr std::size_t BlocksPerRepetition = 2048;  // 32 MiB of data

using BlockCoder = void (*)(unsigned char*, CoderState&);

// Seconds for coding BlocksPerRepetition blocks through the coding buffer, as a file job does.
double TimeBlocks(BlockCoder code, CoderState& state)
{
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < BlocksPerRepetition; ++i)
        code(CodingBuffer, state);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CodeChunk over the same blocks, 16 at a time, as a file job codes a chunk of 256 KiB.
double TimeChunks(CoderState& state)
{
    constexpr std::size_t chunkBlocks = 16;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < BlocksPerRepetition; i += chunkBlocks)
        CodeChunk(CodingBuffer, chunkBlocks, state);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Both coders must give the same bytes and state, or the timing means nothing.
bool CodersAgree()
{
    static unsigned char plain[BlockBytes];
    std::memcpy(plain, CodingBuffer, BlockBytes);
    CoderState plainState = 962, fastState = 962;
    for (int i = 0; i < 3; ++i) {
        CodeBlockPlainLoop(plain, plainState);
        CodeBlock(CodingBuffer, fastState);
    }
    return plainState == fastState && std::memcmp(plain, CodingBuffer, BlockBytes) == 0;
}

template <CoderPath path>
void CodeBlockOn(unsigned char* block, CoderState& state)
{
    CodeBlockWith(path, block, state);
}

struct PathTiming {
    CoderPath path;
    BlockCoder code;
    double best = 1e9;
};

double GigabytesPerSecond(double seconds)
{
    return static_cast<double>(BlocksPerRepetition * BlockBytes) / seconds / 1e9;
}

}  // namespace

int main()
{
    std::mt19937 random(1);
    std::generate(std::begin(CodingBuffer), std::end(CodingBuffer), [&] { return static_cast<unsigned char>(random()); });
    if (!CodersAgree()) {
        std::printf("coder-bench %s: CodeBlock differs from the plain loop\n", VORRIN_BENCH_ARCH);
        return 1;
    }

    // Each path on its own too, for judging whether the wider ones pay.
    PathTiming paths[] = {{CoderPath::Portable, CodeBlockOn<CoderPath::Portable>},
                          {CoderPath::Sse2, CodeBlockOn<CoderPath::Sse2>},
                          {CoderPath::Avx2, CodeBlockOn<CoderPath::Avx2>},
                          {CoderPath::Avx512, CodeBlockOn<CoderPath::Avx512>}};
    CoderState plainState = 962, fastState = 962, pathState = 962;
    double plainBest = 1e9, fastBest = 1e9, chunkBest = 1e9;
    for (int r = 0; r < Repetitions; ++r) {
        plainBest = std::min(plainBest, TimeBlocks(CodeBlockPlainLoop, plainState));
        fastBest = std::min(fastBest, TimeBlocks(CodeBlock, fastState));
        chunkBest = std::min(chunkBest, TimeChunks(pathState));
        for (auto& timing : paths)
            if (CoderPathAvailable(timing.path))
                timing.best = std::min(timing.best, TimeBlocks(timing.code, pathState));
    }

    const char* arch = VORRIN_BENCH_ARCH;
    for (const auto& timing : paths)
        if (CoderPathAvailable(timing.path))
            std::printf("path %s %s %.2f GB/s\n", arch, CoderPathName(timing.path), GigabytesPerSecond(timing.best));
    std::printf("plain-loop %s %.2f GB/s\n", arch, GigabytesPerSecond(plainBest));
    std::printf("codeblock %s %.2f GB/s (%s path; best of %d x %zu MiB; states %08x %08x)\n", arch,
                GigabytesPerSecond(fastBest), CoderPathName(FastestCoderPath()), Repetitions,
                BlocksPerRepetition * BlockBytes >> 20, static_cast<unsigned>(plainState), static_cast<unsigned>(fastState));
    std::printf("codechunk %s %.2f GB/s (16 blocks a call)\n", arch, GigabytesPerSecond(chunkBest));
    std::printf("codeblock-speedup %s %.2f\n", arch, plainBest / fastBest);
    return 0;
}
