#include "toolkit/folder_browser.h"

#include "toolkit/dialog_texts.h"
#include "toolkit/message_pump.h"
#include "toolkit/process_text.h"

#include <objbase.h>

#include <array>
#include <memory>
#include <optional>

namespace {

// The browser needs COM on this thread; a thread that already has it keeps it as it was.
class ComScope {
public:
    ComScope() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (initialized_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialized_;
};

struct ItemListFree {
    void operator()(ITEMIDLIST* item) const { CoTaskMemFree(item); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

} // namespace

void FolderBrowser::SetInitialPath(const std::string& text)
{
    initialPath_ = BrowserInitialPath(text);
}

int CALLBACK FolderBrowser::BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) noexcept
{
    const auto* browser = reinterpret_cast<const FolderBrowser*>(data);
    if (message == BFFM_INITIALIZED && !browser->initialPathWide_.empty())
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(browser->initialPathWide_.c_str()));
    return 0;
}

bool FolderBrowser::Execute()
{
    const ComScope com;
    // The wide browser: the chosen folder comes back as the system names it, whatever its
    // length in UTF-8, and is converted here without a best fit.
    initialPathWide_ = WideText(initialPath_);
    std::array<wchar_t, MAX_PATH + 1> displayName{};
    BROWSEINFOW info{};
    info.hwndOwner = Owner ? Owner : AppMainWindowHandle();
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName.data();
    info.lpszTitle = nullptr;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    const ItemList chosen(SHBrowseForFolderW(&info));
    if (!chosen)
        return false;
    // Without a file-system path (a virtual folder, a failure) there is no result: an empty
    // one would silently mean coding in place.
    std::array<wchar_t, MAX_PATH + 1> path{};
    if (!SHGetPathFromIDListW(chosen.get(), path.data()) || path[0] == L'\0')
        return false;
    const std::optional<std::string> folder = NameFromSystem(path.data());
    if (!folder)
        return false;
    result_ = *folder;
    return true;
}
