#include "engine/keystream_coder.h"

#include <cstring>

CoderValue ParseCoderValue(std::string_view text)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::uint32_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<CoderValue>(value);
}

void CodeBlock(unsigned char* block, CoderState& state)
{
    CoderState s = state;
    for (std::size_t w = 0; w < BlockWords; ++w) {
        std::uint32_t word;
        std::memcpy(&word, block + 4 * w, 4);
        word ^= s;
        std::memcpy(block + 4 * w, &word, 4);
        s = StepRegister(s);
    }
    state = s;
}
