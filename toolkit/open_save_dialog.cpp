#include "toolkit/open_save_dialog.h"

#include "toolkit/dialog_texts.h"
#include "toolkit/message_pump.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr DWORD MultiSelectBufferSize = 0xFFF0;
constexpr DWORD SingleBufferSize = 0x106; // one path of up to 261 characters

const char* TextOrNull(const std::optional<std::string>& text)
{
    return text ? text->c_str() : nullptr;
}

} // namespace

OpenSaveDialog::OpenSaveDialog(DWORD options, HWND owner)
    : Options(options == 0 ? FileDialogOption::Defaults : options), Owner(owner)
{
}

bool OpenSaveDialog::Execute()
{
    const bool multiSelect = (Options & FileDialogOption::AllowMultiSelect) != 0;
    std::vector<char> file(multiSelect ? MultiSelectBufferSize : SingleBufferSize, '\0');
    std::copy_n(FileName.begin(), std::min(FileName.size(), file.size() - 1), file.begin());
    const std::optional<std::string> filter = Filter ? std::optional(PlatformFilter(*Filter)) : std::nullopt;

    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = Owner ? Owner : AppMainWindowHandle();
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpstrFilter = TextOrNull(filter);
    record.nFilterIndex = FilterIndex;
    record.lpstrFile = file.data();
    record.nMaxFile = static_cast<DWORD>(file.size());
    record.lpstrInitialDir = TextOrNull(InitialFolder);
    record.lpstrTitle = TextOrNull(Title);
    record.Flags = Options | OFN_EXPLORER | OFN_LONGNAMES | OFN_ENABLESIZING;
    record.lpstrDefExt = DefaultExtension ? DefaultExtension->c_str() : "";
    record.lCustData = reinterpret_cast<LPARAM>(this);

    const BOOL confirmed = Mode == DialogMode::Open ? GetOpenFileNameA(&record) : GetSaveFileNameA(&record);
    if (!confirmed) {
        FileName.clear();
        return false;
    }
    FilterIndex = record.nFilterIndex;
    const std::string_view buffer(file.data(), file.size());
    FileName = multiSelect ? MultiSelectResult(buffer) : std::string(buffer.substr(0, buffer.find('\0')));
    return true;
}
