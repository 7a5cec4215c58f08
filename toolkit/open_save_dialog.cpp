#include "toolkit/open_save_dialog.h"

#include "toolkit/dialog_texts.h"
#include "toolkit/message_pump.h"
#include "toolkit/process_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// In characters: the wide dialog returns names as the system keeps them, and the program
// converts them itself, so a name in UTF-8 needs no more room than in UTF-16.
constexpr DWORD MultiSelectBufferSize = 0xFFF0;
constexpr DWORD SingleBufferSize = 0x106; // one path of up to 261 characters

std::optional<std::wstring> WideOrAbsent(const std::optional<std::string>& text)
{
    return text ? std::optional(WideText(*text)) : std::nullopt;
}

const wchar_t* TextOrNull(const std::optional<std::wstring>& text)
{
    return text ? text->c_str() : nullptr;
}

// The dialog's result (a path, or a folder and names after CRs) as process text. A chosen
// file whose full path the process cannot name exactly is refused with a message and left
// out; nothing is left when no file remains.
std::optional<std::string> ResultAsProcessText(std::wstring_view chosen)
{
    const std::size_t firstBreak = chosen.find(L'\r');
    if (firstBreak == std::wstring_view::npos)
        return NameFromSystem(chosen);
    const std::wstring folder(chosen.substr(0, firstBreak));
    const std::optional<std::string> folderText = ExactProcessText(folder);
    const std::wstring separator = folder.ends_with(L'\\') ? L"" : L"\\";
    std::string names;
    for (std::size_t start = firstBreak + 1; start <= chosen.size();) {
        const std::size_t end = std::min(chosen.find(L'\r', start), chosen.size());
        const std::wstring_view name = chosen.substr(start, end - start);
        const std::optional<std::string> nameText = ExactProcessText(name);
        if (folderText && nameText)
            names += '\r' + *nameText;
        else
            ReportUnusableName(folder + separator + std::wstring(name));
        start = end + 1;
    }
    if (names.empty())
        return std::nullopt;
    return *folderText + names;
}

} // namespace

OpenSaveDialog::OpenSaveDialog(DWORD options, HWND owner)
    : Options(options == 0 ? FileDialogOption::Defaults : options), Owner(owner)
{
}

bool OpenSaveDialog::Execute()
{
    const bool multiSelect = (Options & FileDialogOption::AllowMultiSelect) != 0;
    std::vector<wchar_t> file(multiSelect ? MultiSelectBufferSize : SingleBufferSize, L'\0');
    const std::wstring proposed = WideText(FileName);
    std::copy_n(proposed.begin(), std::min(proposed.size(), file.size() - 1), file.begin());
    const std::optional<std::wstring> filter = Filter ? std::optional(WideText(PlatformFilter(*Filter))) : std::nullopt;
    const std::optional<std::wstring> initialFolder = WideOrAbsent(InitialFolder);
    const std::optional<std::wstring> title = WideOrAbsent(Title);
    const std::wstring defaultExtension = WideText(DefaultExtension.value_or(""));

    OPENFILENAMEW record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = Owner ? Owner : AppMainWindowHandle();
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpstrFilter = TextOrNull(filter);
    record.nFilterIndex = FilterIndex;
    record.lpstrFile = file.data();
    record.nMaxFile = static_cast<DWORD>(file.size());
    record.lpstrInitialDir = TextOrNull(initialFolder);
    record.lpstrTitle = TextOrNull(title);
    record.Flags = Options | OFN_EXPLORER | OFN_LONGNAMES | OFN_ENABLESIZING;
    record.lpstrDefExt = defaultExtension.c_str();
    record.lCustData = reinterpret_cast<LPARAM>(this);

    const BOOL confirmed = Mode == DialogMode::Open ? GetOpenFileNameW(&record) : GetSaveFileNameW(&record);
    if (!confirmed) {
        FileName.clear();
        return false;
    }
    FilterIndex = record.nFilterIndex;
    const std::wstring_view buffer(file.data(), file.size());
    const std::wstring chosen =
        multiSelect ? MultiSelectResult(buffer) : std::wstring(buffer.substr(0, buffer.find(L'\0')));
    const std::optional<std::string> result = ResultAsProcessText(chosen);
    FileName = result.value_or("");
    return result.has_value();
}
