#include "toolkit/utf8_text.h"

namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed sequence at the start of `text`, or 0.
std::size_t SequenceLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    const auto second = static_cast<unsigned char>(text[1]);
    if (second < low || second > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[i])))
            return 0;
    }
    return length;
}

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

} // namespace

bool IsUtf8(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t length = SequenceLength(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string ConvertLines(std::string_view text, const LineConversion& convert)
{
    std::string converted;
    converted.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (IsLineBreak(text[pos])) {
            converted += text[pos++];
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && !IsLineBreak(text[end]))
            ++end;
        const std::optional<std::string> line = convert(text.substr(pos, end - pos));
        pos = end;
        if (line) {
            converted += *line;
        } else if (pos < text.size() && text[pos] != '\0') {
            // Left out with its break: CR LF, a CR alone or an LF alone.
            const bool crlf = text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
            pos += crlf ? 2 : 1;
        }
    }
    return converted;
}
