// Codes a file the slow, obvious way (one register step per word), for the end-to-end
// scenarios to compare the programs' output with: reference_coder VALUE IN OUT
// OUT "-" is standard output, so a file of many GiB can be compared without a second copy.
#include "engine/keystream_coder.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
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
    if (!in) {
        std::fprintf(stderr, "reference_coder: can't open %s\n", argv[2]);
        return 1;
    }
    std::ofstream file;
    if (std::strcmp(argv[3], "-") != 0)
        file.open(argv[3], std::ios::binary);
    std::ostream& out = std::strcmp(argv[3], "-") == 0 ? std::cout : file;
    // Pieces of whole words, so the register steps across them as over one file.
    std::vector<unsigned char> data(1 << 20);
    while (in) {
        in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
        const std::size_t got = static_cast<std::size_t>(in.gcount());
        for (std::size_t i = 0; i < got; i += 4) {
            for (std::size_t k = 0; k < 4 && i + k < got; ++k)
                data[i + k] ^= static_cast<unsigned char>(state >> (8 * k));
            state = StepRegister(state);
        }
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(got));
    }
    return in.bad() || !out ? 1 : 0;
}
