#include "toolkit/row_keys.h"

namespace tk {

std::size_t RowKeys::Home(std::uint64_t key) const
{
    // Fibonacci hashing spreads keys that differ in few bits.
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & (table_.size() - 1);
}

void RowKeys::Enter(std::uint64_t key, int row) const
{
    for (std::size_t at = Home(key);; at = (at + 1) & (table_.size() - 1)) {
        Slot& slot = table_[at];
        if (slot.row < 0) {
            slot = {key, row};
            ++entered_;
            return;
        }
        if (slot.key == key)
            return; // an earlier row holds it
    }
}

void RowKeys::Remake() const
{
    std::size_t size = 16;
    while (size < 2 * keys_.size() + 2)
        size *= 2;
    table_.assign(size, Slot{0, -1});
    entered_ = 0;
    for (int row = 0; row < Size(); ++row)
        Enter(keys_[static_cast<std::size_t>(row)], row);
    stale_ = false;
}

void RowKeys::Append(std::uint64_t key)
{
    keys_.push_back(key);
    if (stale_)
        return;
    if (2 * (entered_ + 1) > table_.size())
        stale_ = true; // made larger at the next look-up
    else
        Enter(key, Size() - 1);
}

void RowKeys::Replace(int row, std::uint64_t key)
{
    if (row >= 0 && row < Size()) {
        keys_[static_cast<std::size_t>(row)] = key;
        stale_ = true;
    }
}

void RowKeys::Erase(int row)
{
    if (row >= 0 && row < Size()) {
        keys_.erase(keys_.begin() + row);
        stale_ = true;
    }
}

void RowKeys::Clear()
{
    keys_.clear();
    table_.clear();
    entered_ = 0;
    stale_ = false;
}

int RowKeys::First(std::uint64_t key) const
{
    if (stale_ || table_.empty())
        Remake();
    for (std::size_t at = Home(key);; at = (at + 1) & (table_.size() - 1)) {
        const Slot& slot = table_[at];
        if (slot.row < 0)
            return -1;
        if (slot.key == key)
            return slot.row;
    }
}

int RowKeys::Next(std::uint64_t key, int row) const
{
    for (int next = row + 1; next < Size(); ++next) {
        if (keys_[static_cast<std::size_t>(next)] == key)
            return next;
    }
    return -1;
}

} // namespace tk
