#include "toolkit/folder_browser.h"

#include "toolkit/dialog_texts.h"
#include "toolkit/message_pump.h"

#include <objbase.h>

#include <memory>

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
    if (message == BFFM_INITIALIZED && !browser->initialPath_.empty())
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(browser->initialPath_.c_str()));
    return 0;
}

bool FolderBrowser::Execute()
{
    const ComScope com;
    std::array<char, MAX_PATH + 1> displayName{};
    BROWSEINFOA info{};
    info.hwndOwner = Owner ? Owner : AppMainWindowHandle();
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName.data();
    info.lpszTitle = nullptr;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    const ItemList chosen(SHBrowseForFolderA(&info));
    if (!chosen)
        return false;
    SHGetPathFromIDListA(chosen.get(), result_.data());
    return true;
}
