#include "toolkit/string_list.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char NUL = '\0';
// Stands in for a character that can't be shown: a NUL read from a file is kept as SUB, so
// no part of the text is lost and the line holding it is plainly no path.
constexpr char SUB = '\x1A';

std::string_view UpToNul(std::string_view text)
{
    return text.substr(0, text.find(NUL));
}

} // namespace

void StringList::SetItem(std::size_t i, std::string_view text)
{
    items_.at(i) = UpToNul(text);
}

void StringList::Add(std::string_view text)
{
    items_.emplace_back(UpToNul(text));
}

void StringList::SetText(std::string_view text, bool append)
{
    // Split into a fresh vector first so a failed allocation leaves the list as it was.
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lineEnd = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string& line = lines.emplace_back(text.substr(pos, lineEnd - pos));
        std::replace(line.begin(), line.end(), NUL, SUB);
        pos = lineEnd;
        if (pos < text.size()) {
            if (text[pos] == CR && pos + 1 < text.size() && text[pos + 1] == LF)
                ++pos; // CR LF is one break
            ++pos;
        }
    }
    if (!append) {
        items_ = std::move(lines);
        return;
    }
    items_.reserve(items_.size() + lines.size()); // the only step that may throw
    items_.insert(items_.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
}

std::string StringList::GetText() const
{
    std::size_t size = 0;
    for (const std::string& item : items_)
        size += item.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& item : items_) {
        text += item;
        text += "\r\n";
    }
    return text;
}
