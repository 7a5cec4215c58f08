#pragma once
// The platform's folder browser, made for one choice of a folder.
#include <windows.h>
#include <shlobj.h>

#include <array>
#include <string>

class FolderBrowser {
public:
    // The folder to preselect, from a typed destination such as "D:\out\" or "D:".
    void SetInitialPath(const std::string& text);

    // True when a folder was chosen; ResultPath then holds it. On cancel it is unchanged.
    bool Execute();
    std::string ResultPath() const { return result_.data(); }

    HWND Owner = nullptr; // null: the main window

private:
    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) noexcept;

    std::string initialPath_;
    std::array<char, MAX_PATH + 1> result_{};
};
