#include "toolkit/row_text_index.h"

#include "toolkit/process_text.h"

#include <windows.h>

namespace tk {

namespace {

// "Letter case ignored" as capitals of the UTF-16 text: the rule the queue's identities use.
std::wstring Capitals(std::string_view text)
{
    std::wstring wide = WideText(text);
    if (!wide.empty())
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return wide;
}

std::uint64_t KeyOf(const std::wstring& capitals)
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const wchar_t unit : capitals) {
        hash ^= static_cast<std::uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

void RowTextIndex::Append(std::string_view text)
{
    const std::uint64_t key = KeyOf(Capitals(text));
    keys_.push_back(key);
    if (!stale_)
        first_.try_emplace(key, Size() - 1);
}

void RowTextIndex::Erase(int row)
{
    if (row < 0 || row >= Size())
        return;
    keys_.erase(keys_.begin() + row);
    stale_ = true; // the rows below moved up
}

void RowTextIndex::Replace(int row, std::string_view text)
{
    if (row < 0 || row >= Size())
        return;
    keys_[static_cast<std::size_t>(row)] = KeyOf(Capitals(text));
    stale_ = true;
}

void RowTextIndex::Clear()
{
    keys_.clear();
    first_.clear();
    stale_ = false;
}

int RowTextIndex::Find(std::string_view text, const std::function<std::string(int row)>& textOf) const
{
    if (stale_) {
        first_.clear();
        for (int row = 0; row < Size(); ++row)
            first_.try_emplace(keys_[static_cast<std::size_t>(row)], row);
        stale_ = false;
    }
    const std::wstring capitals = Capitals(text);
    const std::uint64_t key = KeyOf(capitals);
    const auto found = first_.find(key);
    if (found == first_.end())
        return -1;
    // Rows before the first of this key cannot match; after it, only rows of the same key.
    for (int row = found->second; row < Size(); ++row) {
        if (keys_[static_cast<std::size_t>(row)] == key && Capitals(textOf(row)) == capitals)
            return row;
    }
    return -1;
}

} // namespace tk
