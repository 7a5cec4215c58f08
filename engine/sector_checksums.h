#pragma once
// The checksums the journal keeps: of any bytes, and of every sector of a stretch of a file.
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::size_t SectorBytes = 512;

// A 32-bit checksum of any bytes, fast enough to run over every byte coded.
std::uint32_t Checksum(const unsigned char* data, std::size_t bytes);

// Appends the Checksum of each sector of `data`, the last one maybe short. Eight whole sectors
// are taken at once where the processor can: one by one they cost a job in place a fifth of
// its time.
void AppendSectorChecksums(const unsigned char* data, std::size_t bytes, std::vector<std::uint32_t>& sums);
