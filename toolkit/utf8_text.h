#pragma once
// UTF-8 rules that need no Windows call: whether a text is UTF-8, and the lines of a text
// taken one at a time, so that each line of a file list is read in the encoding it was
// written in.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Well-formed UTF-8: no overlong forms, no surrogate halves, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

using LineConversion = std::function<std::optional<std::string>(std::string_view line)>;

// The text with every line replaced by what `convert` makes of it; a line it gives nothing
// for is left out together with its line break. Lines are the runs between CR, LF and NUL,
// bytes that read the same in UTF-8 and in every ANSI code page; those are kept as they are.
std::string ConvertLines(std::string_view text, const LineConversion& convert);
