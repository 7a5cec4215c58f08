#pragma once
// The identities of the queued files, row by row, kept in step with the task list's rows, so a
// file queued under another spelling is found without opening every queued file again: that
// made each added file cost a probe of the whole queue. A row's identity is the one its file
// had when the row was added; a row appended without one is probed when first asked about.
#include "engine/file_identity.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QueuedIdentities {
public:
    // Nothing when the file could not be probed: such a row matches no file.
    void Append(std::optional<FileIdentity> identity);
    void AppendUnprobed();
    void Erase(int row);
    void Clear();
    int Size() const { return static_cast<int>(rows_.size()); }

    // Whether some queued file is the same file as `file` (SameFile); `pathOf(row)` gives the
    // path of a row still to be probed.
    bool Holds(const FileIdentity& file, const std::function<std::string(int row)>& pathOf);

private:
    struct Number {
        std::uint32_t volume;
        std::uint64_t index;
        bool operator==(const Number&) const = default;
    };
    struct NumberHash {
        std::size_t operator()(const Number& n) const { return std::hash<std::uint64_t>()(n.index ^ (std::uint64_t{n.volume} << 40)); }
    };
    struct NameCount {
        int all = 0;
        int withoutNumbers = 0;
    };
    using Names = std::unordered_map<std::wstring, NameCount>;
    struct Row {
        enum class State { Unprobed, Unknown, Known } state = State::Unprobed;
        bool numbered = false;
        Number number{};
        Names::iterator name;
    };

    void Count(Row& row, const FileIdentity& identity);
    void Uncount(const Row& row);

    // Pointers, so erasing a row moves no more than the list view itself moves.
    std::vector<std::unique_ptr<Row>> rows_;
    std::unordered_map<Number, int, NumberHash> numbers_; // rows by serial and index
    Names names_;                                         // rows by full, long name
    int unprobed_ = 0;
};
