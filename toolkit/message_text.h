#pragma once
// Message box texts that fit on the screen, whatever they quote. A box grows with its text
// and breaks long lines: a name of thousands of characters, or thousands of names, once
// made a box taller than the screen, its OK button out of reach.
#include <string>
#include <string_view>

inline constexpr std::size_t MessageLineChars = 100;
inline constexpr std::size_t MessageLines = 24;

// Lines (broken at CR or LF) longer than MessageLineChars keep their start and end with
// "..." between; past MessageLines lines, the rest is replaced by one line "...".
std::string FitMessageText(std::string_view text);
