#pragma once
// The progress bar keeps a 32-bit range; larger block counts are shown scaled down by a
// power of two, the same for the range and every position.
#include <cstdint>

// How far a count up to `high` must be shifted right to fit the bar's range.
constexpr int ProgressShift(std::int64_t high)
{
    int shift = 0;
    while ((high >> shift) > INT32_MAX)
        ++shift;
    return shift;
}

// A position on the scaled bar; one past the range (the last block's position) stays in an int.
constexpr int ScaledProgress(std::int64_t value, int shift)
{
    const std::int64_t scaled = (value < 0 ? 0 : value) >> shift;
    return static_cast<int>(scaled > INT32_MAX ? INT32_MAX : scaled);
}
