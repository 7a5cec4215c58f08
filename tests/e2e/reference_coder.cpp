// Codes a file the slow, obvious way (one register step per word), for the end-to-end
// scenarios to compare the program's output with: reference_coder VALUE IN OUT
#include "engine/keystream_coder.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: reference_coder VALUE IN OUT\n");
        return 2;
    }
    const ParsedCoderValue value = ParseCoderValue(argv[1]);
    if (value.fault) {
        std::fprintf(stderr, "reference_coder: no coder value: %s\n", argv[1]);
        return 2;
    }
    CoderState state = static_cast<CoderState>(value.value);
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t i = 0; i < data.size(); i += 4) {
        for (std::size_t k = 0; k < 4 && i + k < data.size(); ++k)
            data[i + k] ^= static_cast<unsigned char>(state >> (8 * k));
        state = StepRegister(state);
    }
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return out ? 0 : 1;
}
