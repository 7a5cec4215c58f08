#pragma once
// A 64-bit key for every row of a list, in row order, and the first row of each key found
// at once: the index under the task list's look-ups by text and by file identity. Rows are
// appended, re-keyed and erased as the list's rows are; after rows move, the look-up table is
// made afresh at the next look-up. A small open-addressing table of its own keeps the program
// small.
#include <cstdint>
#include <string_view>
#include <vector>

namespace tk {

// The key of a text: FNV-1a over its UTF-16 units.
inline std::uint64_t KeyOfText(std::wstring_view text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : text) {
        hash ^= static_cast<std::uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    return hash;
}

class RowKeys {
public:
    void Append(std::uint64_t key);
    void Replace(int row, std::uint64_t key);
    void Erase(int row); // the rows below move up
    void Clear();
    int Size() const { return static_cast<int>(keys_.size()); }

    // The first row with this key, and the next one after `row`; -1 when there is none.
    int First(std::uint64_t key) const;
    int Next(std::uint64_t key, int row) const;

private:
    struct Slot {
        std::uint64_t key;
        int row; // -1: empty
    };
    void Remake() const;
    void Enter(std::uint64_t key, int row) const;
    std::size_t Home(std::uint64_t key) const;

    std::vector<std::uint64_t> keys_;
    mutable std::vector<Slot> table_; // a power of two in size, at most half full
    mutable std::size_t entered_ = 0;
    mutable bool stale_ = false;
};

} // namespace tk
