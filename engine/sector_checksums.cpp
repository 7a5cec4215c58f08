#include "engine/sector_checksums.h"

#include "engine/keystream_coder.h"

#include <bit>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define VORRIN_CHECKSUM_X86 1
#endif

namespace {

// Four lanes of multiply-rotate rounds over 16 bytes at a time, then the rest word by word
// and byte by byte, and a final mix so that every input bit reaches every output bit.
constexpr std::uint32_t Prime1 = 0x9E3779B1u, Prime2 = 0x85EBCA77u, Prime3 = 0xC2B2AE3Du,
                        Prime4 = 0x27D4EB2Fu, Prime5 = 0x165667B1u;
constexpr std::uint32_t FirstLanes[4] = {Prime1 + Prime2, Prime2, 0, 0u - Prime1};

std::uint32_t Word(const unsigned char* at)
{
    std::uint32_t word;
    std::memcpy(&word, at, 4);
    return word;
}

std::uint32_t Round(std::uint32_t lane, std::uint32_t word)
{
    return std::rotl(lane + word * Prime2, 13) * Prime1;
}

std::uint32_t MergedLanes(const std::uint32_t lanes[4])
{
    return std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) + std::rotl(lanes[3], 18);
}

std::uint32_t Mixed(std::uint32_t sum)
{
    sum ^= sum >> 15;
    sum *= Prime2;
    sum ^= sum >> 13;
    sum *= Prime3;
    return sum ^ (sum >> 16);
}

#ifdef VORRIN_CHECKSUM_X86
// Eight whole sectors: each register holds the four lanes of two of them.
__attribute__((target("avx2"))) void EightSectorsAvx2(const unsigned char* data, std::uint32_t* sums)
{
    const __m256i prime1 = _mm256_set1_epi32(static_cast<int>(Prime1));
    const __m256i prime2 = _mm256_set1_epi32(static_cast<int>(Prime2));
    __m256i lanes[4];
    for (__m256i& pair : lanes)
        pair = _mm256_setr_epi32(static_cast<int>(FirstLanes[0]), static_cast<int>(FirstLanes[1]), 0,
                                 static_cast<int>(FirstLanes[3]), static_cast<int>(FirstLanes[0]),
                                 static_cast<int>(FirstLanes[1]), 0, static_cast<int>(FirstLanes[3]));
    for (std::size_t at = 0; at < SectorBytes; at += 16) {
        for (int k = 0; k < 4; ++k) {
            const unsigned char* const first = data + 2 * k * SectorBytes + at;
            const __m256i words = _mm256_inserti128_si256(
                _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first))),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + SectorBytes)), 1);
            const __m256i added = _mm256_add_epi32(lanes[k], _mm256_mullo_epi32(words, prime2));
            const __m256i rotated = _mm256_or_si256(_mm256_slli_epi32(added, 13), _mm256_srli_epi32(added, 19));
            lanes[k] = _mm256_mullo_epi32(rotated, prime1);
        }
    }
    std::uint32_t stored[32];
    for (int k = 0; k < 4; ++k)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(stored + 8 * k), lanes[k]);
    for (int s = 0; s < 8; ++s)
        sums[s] = Mixed(MergedLanes(stored + 4 * s) + static_cast<std::uint32_t>(SectorBytes));
}
#endif

} // namespace

std::uint32_t Checksum(const unsigned char* data, std::size_t bytes)
{
    const unsigned char* const end = data + bytes;
    std::uint32_t sum;
    if (bytes >= 16) {
        std::uint32_t lanes[4] = {FirstLanes[0], FirstLanes[1], FirstLanes[2], FirstLanes[3]};
        for (; end - data >= 16; data += 16)
            for (int k = 0; k < 4; ++k)
                lanes[k] = Round(lanes[k], Word(data + 4 * k));
        sum = MergedLanes(lanes);
    } else {
        sum = Prime5;
    }
    sum += static_cast<std::uint32_t>(bytes);
    for (; end - data >= 4; data += 4)
        sum = std::rotl(sum + Word(data) * Prime3, 17) * Prime4;
    for (; data < end; ++data)
        sum = std::rotl(sum + *data * Prime5, 11) * Prime1;
    return Mixed(sum);
}

void AppendSectorChecksums(const unsigned char* data, std::size_t bytes, std::vector<std::uint32_t>& sums)
{
    std::size_t at = 0;
#ifdef VORRIN_CHECKSUM_X86
    static const bool eightAtOnce = CoderPathAvailable(CoderPath::Avx2);  // the coder's own test
    if (eightAtOnce) {
        for (; bytes - at >= 8 * SectorBytes; at += 8 * SectorBytes) {
            sums.resize(sums.size() + 8);
            EightSectorsAvx2(data + at, sums.data() + sums.size() - 8);
        }
    }
#endif
    for (; at < bytes; at += SectorBytes)
        sums.push_back(Checksum(data + at, bytes - at < SectorBytes ? bytes - at : SectorBytes));
}
