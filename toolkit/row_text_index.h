#pragma once
// Finds the first row whose text equals a given text, letter case ignored, without reading
// every row. The list view's own search compares row after row, so a queue that checked
// each new file against the whole list, and found each finished file's row again, grew with
// the square of its length. Kept in step with the rows by ListView.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tk {

class RowTextIndex {
public:
    void Append(std::string_view text);
    void Erase(int row);
    void Replace(int row, std::string_view text);
    void Clear();
    int Size() const { return static_cast<int>(keys_.size()); }

    // The first row whose text, as `textOf` reads it, equals `text` in any letter case; -1 when
    // none does. Rows are read only where the key matches.
    int Find(std::string_view text, const std::function<std::string(int row)>& textOf) const;

private:
    std::vector<std::uint64_t> keys_; // row by row
    // The first row of each key; remade after rows moved.
    mutable std::unordered_map<std::uint64_t, int> first_;
    mutable bool stale_ = false;
};

} // namespace tk
