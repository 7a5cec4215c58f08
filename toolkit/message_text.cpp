#include "toolkit/message_text.h"

#include <algorithm>

namespace {

constexpr std::string_view Ellipsis = "...";

// Moves a cut back to the start of a UTF-8 sequence, so no character is split.
std::size_t CharStart(std::string_view text, std::size_t at)
{
    while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

std::string FitLine(std::string_view line)
{
    if (line.size() <= MessageLineChars)
        return std::string(line);
    // The end of a path names the file, its start the drive and folders: both are kept.
    const std::size_t keep = MessageLineChars - Ellipsis.size();
    const std::size_t headEnd = CharStart(line, keep / 2);
    const std::size_t tailStart = CharStart(line, line.size() - (keep - keep / 2));
    std::string fitted(line.substr(0, headEnd));
    fitted += Ellipsis;
    fitted += line.substr(tailStart);
    return fitted;
}

} // namespace

std::string FitMessageText(std::string_view text)
{
    std::string fitted;
    std::size_t lines = 0;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        if (++lines == MessageLines && end < text.size()) {
            fitted += Ellipsis;
            return fitted;
        }
        fitted += FitLine(text.substr(pos, end - pos));
        if (end == text.size())
            return fitted;
        fitted += text[end];
        pos = end + 1;
    }
}
