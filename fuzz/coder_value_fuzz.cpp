// ParseCoderValue over any text: the window's edit and vorrinc's --value both go through it.
#include "fuzz_support.h"

#include "engine/keystream_coder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool Same(const ParsedCoderValue& a, const ParsedCoderValue& b)
{
    return a.value == b.value && a.fault == b.fault;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ParsedCoderValue parsed = ParseCoderValue(text);
    Require(Same(ParseCoderValue(" \t" + text + "\t "), parsed), "blanks around the text change nothing");
    if (parsed.fault) {
        Require(parsed.value == 0, "a refused text gives no value");
        return 0;
    }
    Require(parsed.value != 0, "an accepted value changes the data");
    // The value as shown, signed or as the register's bits, is read back as the same value.
    Require(Same(ParseCoderValue(std::to_string(parsed.value)), parsed), "the value's text reads back");
    const auto bits = static_cast<std::uint32_t>(parsed.value);
    Require(Same(ParseCoderValue(std::to_string(bits)), parsed), "the register's bits read back");
    // A minus before digits gives the value's negation modulo 2^32.
    const std::size_t first = text.find_first_not_of(" \t");
    if (text[first] >= '0' && text[first] <= '9') {
        const ParsedCoderValue negated = ParseCoderValue("-" + text.substr(first));
        Require(negated.value == static_cast<CoderValue>(0u - bits), "a minus negates the value");
    }
    return 0;
}
