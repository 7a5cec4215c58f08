#include "toolkit/tooltips.h"

#include "toolkit/common_controls.h"

#include <commctrl.h>

#include <string>

namespace tk {

Tooltips::Tooltips(HWND owner)
{
    EnsureCommonControls();
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
}

Tooltips::~Tooltips()
{
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

void Tooltips::Add(const Control& control, std::string_view text)
{
    if (!hwnd_ || !control.Exists())
        return;
    std::string tip(text);
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control.Handle());
    info.uId = reinterpret_cast<UINT_PTR>(control.Handle());
    info.lpszText = tip.data(); // copied by the control
    SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void Tooltips::SetFont(HFONT font)
{
    if (hwnd_)
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

} // namespace tk
