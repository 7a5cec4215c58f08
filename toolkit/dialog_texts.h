#pragma once
// The text conversions of the file and folder dialogs, kept free of Windows calls.
#include <string>
#include <string_view>

// "Text|*.txt|All|*.*" as the platform wants it: every bar a NUL, the list ending in two NULs.
std::string PlatformFilter(std::string_view filter);

// The file buffer of a multiple selection (folder NUL name NUL ... NUL NUL) as one text:
// folder CR name CR name. A single selection (path NUL NUL) stays the path.
// The walk never goes beyond the buffer, terminated or not.
std::wstring MultiSelectResult(std::wstring_view buffer);

// The folder to preselect for a typed destination: one trailing backslash removed, except
// that a bare drive keeps it ("D:\" and "D:" both give "D:\"); empty stays empty.
std::string BrowserInitialPath(std::string_view text);
