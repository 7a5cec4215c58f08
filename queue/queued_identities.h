#pragma once
// The queued files by identity, kept row by row in step with the task list's rows, so a file
// queued under another spelling is found without opening every queued file again: that made
// each added file cost a probe of the whole queue. Each row keeps keys of the identity its
// file had when the row was added (a row appended without one is probed when first asked
// about); a row whose key matches is probed afresh to confirm, so the answer is SameFile on
// the file as it is now.
#include "engine/file_identity.h"
#include "toolkit/row_keys.h"

#include <cstdint>
#include <optional>
#include <string>

class QueuedIdentities {
public:
    // Nothing when the file could not be probed: such a row matches no file.
    void Append(const std::optional<FileIdentity>& identity);
    void AppendUnprobed();
    void Erase(int row);
    void Clear();
    int Size() const { return numbers_.Size(); }

    // Whether some queued file is the same file as `file` (SameFile). `pathOf(row)` gives a
    // row's path, for the rows to be probed.
    bool Holds(const FileIdentity& file, std::string (*pathOf)(int row));

private:
    void Key(int row, const std::optional<FileIdentity>& identity);

    tk::RowKeys numbers_; // serial and index; NoNumbers without them, Unprobed before the probe
    tk::RowKeys names_;   // the full, long name
};
