#pragma once
// Data for the tests on every platform: deterministic contents, the keystream applied the
// plain way (one register step per word), whole-file reads and writes.
#include "engine/keystream_coder.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Deterministic data that differs from block to block.
inline Bytes Pattern(std::size_t size, std::uint32_t seed = 1)
{
    Bytes data(size);
    std::uint32_t x = seed * 2654435761u + 12345u;
    for (auto& byte : data) {
        x = x * 1664525u + 1013904223u;
        byte = static_cast<unsigned char>(x >> 24);
    }
    return data;
}

// The keystream from register state `state`, one step per word, low byte first.
inline Bytes PlainCoded(Bytes data, CoderState state)
{
    for (std::size_t k = 0; k < data.size(); k += 4) {
        for (std::size_t b = 0; b < 4 && k + b < data.size(); ++b)
            data[k + b] ^= static_cast<unsigned char>(state >> (8 * b));
        state = StepRegister(state);
    }
    return data;
}

inline Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}
