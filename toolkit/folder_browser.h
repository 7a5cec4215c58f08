#pragma once
// The platform's folder browser, made for one choice of a folder.
#include <windows.h>
#include <shlobj.h>

#include <string>

class FolderBrowser {
public:
    // The folder to preselect, from a typed destination such as "D:\out\" or "D:".
    void SetInitialPath(const std::string& text);

    // True when a folder with a file-system path was chosen; ResultPath then holds it. On
    // cancel, or a choice without such a path, it is unchanged. A folder the process code
    // page cannot name exactly is refused with a message (false).
    bool Execute();
    const std::string& ResultPath() const { return result_; }

    HWND Owner = nullptr; // null: the main window

private:
    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) noexcept;

    std::string initialPath_;
    std::wstring initialPathWide_; // what the browse callback selects
    std::string result_;
};
