#include "engine/keystream_coder.h"

#include <cstring>

// The straightforward coder: one register step per word, the state in a local.
void CodeBlockPlainLoop(unsigned char* block, CoderState& state)
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
