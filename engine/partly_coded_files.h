#pragma once
// Files that a failure left partly coded in place, remembered for the rest of the session:
// coding such a file again from the start would flip both parts, so it is never done
// without asking.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The coded bytes from..to-1 of a file of `size` bytes; the rest is as it was.
struct CodedRange {
    std::uint64_t from;
    std::uint64_t to;
    std::uint64_t size;
};

// A file is found under any spelling of its path, or through a link.
void RememberPartlyCoded(const std::string& path, const CodedRange& range);
std::optional<CodedRange> FindPartlyCoded(const std::string& path);
void ForgetPartlyCoded(const std::string& path);

// "Bytes 4194304 to 10485759 of 20971520 are coded"
std::string CodedRangeText(const CodedRange& range);
// "Bytes 512 to 1023, 8192 to 8703 are damaged" (from..to-1 of each)
std::string DamagedRangesText(const std::vector<CodedRange>& damaged);
