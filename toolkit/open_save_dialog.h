#pragma once
// The platform's open and save dialogs as one object that remembers its last result:
// the file name is both the name proposed and the name chosen.
#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <optional>
#include <string>

// The options of a file dialog, combined with |; each is the platform flag it sets.
namespace FileDialogOption {
inline constexpr DWORD FileMustExist = OFN_FILEMUSTEXIST;
inline constexpr DWORD PathMustExist = OFN_PATHMUSTEXIST;
inline constexpr DWORD HideReadOnly = OFN_HIDEREADONLY;
inline constexpr DWORD AllowMultiSelect = OFN_ALLOWMULTISELECT;
inline constexpr DWORD OverwritePrompt = OFN_OVERWRITEPROMPT;
inline constexpr DWORD Defaults = FileMustExist | HideReadOnly | OverwritePrompt | PathMustExist;
} // namespace FileDialogOption

enum class DialogMode { Open, Save };

struct OpenSaveDialog {
    // No options at all means the defaults.
    explicit OpenSaveDialog(DWORD options = 0, HWND owner = nullptr);

    // Shows the dialog. True: FileName holds the chosen path, or with AllowMultiSelect and
    // several files, the folder and each name preceded by CR. A chosen name the process code
    // page cannot hold exactly is refused with a message and left out. False (cancel,
    // failure, nothing left): FileName is empty.
    bool Execute();

    DialogMode Mode = DialogMode::Open;
    std::optional<std::string> Title;            // absent: the platform's caption
    std::optional<std::string> Filter;           // "Description|pattern|..." pairs
    std::uint32_t FilterIndex = 0;               // 1-based pair shown first; 0: the first
    std::optional<std::string> InitialFolder;
    std::optional<std::string> DefaultExtension;
    std::string FileName;
    DWORD Options;
    HWND Owner;                                  // null: the main window
};
