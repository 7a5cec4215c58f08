#include "toolkit/string_list.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char NUL = '\0';

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
    while (pos < text.size() && text[pos] != NUL) {
        const std::size_t lineEnd = std::min(text.find(CR, pos), text.size());
        const std::string_view line = text.substr(pos, lineEnd - pos);
        lines.emplace_back(UpToNul(line));
        pos = lineEnd;
        if (pos < text.size()) {
            ++pos; // the CR
            if (pos < text.size() && text[pos] == LF)
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
