#pragma once
// The queue is the rows of the task list view: column 0 the path exactly as added,
// column 1 the result mark.
#include "engine/file_identity.h"
#include "toolkit/list_view.h"

#include <optional>
#include <string>
#include <string_view>

namespace ResultMark {
inline constexpr std::string_view Unprocessed = "";
inline constexpr std::string_view Current = "...";
inline constexpr std::string_view Ok = "Ok";
inline constexpr std::string_view Err = "Err";
} // namespace ResultMark

int RowCount();
std::string RowPath(int row);
std::string RowMark(int row);
void SetRowMark(int row, std::string_view mark);
void AppendRow(std::string_view path); // with an empty mark; its file is probed when asked about
// With the identity its file has now; nothing when it could not be probed.
void AppendRow(std::string_view path, const std::optional<FileIdentity>& identity);
void DeleteRow(int row);               // the rows below move up
int SelectedRow();                     // -1 when none
void SelectRow(int row);               // select and focus it alone; -1 changes nothing
int FindRow(std::string_view path);    // whole text, letter case ignored; -1 when none
// Whether a queued file is this file under any spelling (SameFile).
bool QueueHoldsFile(const FileIdentity& file);

// Rows appended while a batch lives are drawn once, when it ends.
class RowBatch {
public:
    RowBatch();
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;

private:
    std::optional<tk::ListView::Batch> batch_;
};
// Column 0 takes the list's width less column 1; the progress bar follows the panel.
void FitColumns();
