#include "toolkit/controls.h"

#include "toolkit/common_controls.h"
#include "toolkit/dpi.h"
#include "toolkit/form.h"

#include <commctrl.h>
#include <shellapi.h>

namespace tk {

bool ImageList::Create(int width, int height)
{
    EnsureCommonControls();
    list_.reset(ImageList_Create(width, height, ILC_MASK | ILC_COLORDDB, 0, 1));
    return static_cast<bool>(list_);
}

bool ImageList::AddMasked(const char* bitmapResource, COLORREF transparent)
{
    const BitmapHandle bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), bitmapResource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return list_ && bitmap && ImageList_AddMasked(list_.get(), bitmap.get(), transparent) >= 0;
}

bool ImageList::CreateForDpi(std::vector<PictureStrip> strips, COLORREF transparent, int dpi)
{
    strips_ = std::move(strips);
    transparent_ = transparent;
    size_ = 0;
    return ChangeDpi(dpi);
}

bool ImageList::ChangeDpi(int dpi)
{
    if (strips_.empty())
        return false;
    const int wanted = ScaleToDpi(strips_.front().size, dpi);
    const PictureStrip* best = &strips_.front();
    for (const PictureStrip& strip : strips_)
        if (strip.size <= wanted && strip.size > best->size)
            best = &strip;
    if (best->size == size_)
        return true;
    // Made aside and swapped in whole: should it fail, the buttons keep the pictures they had.
    ImageList made;
    if (!made.Create(best->size, best->size) || !made.AddMasked(best->resource, transparent_))
        return false;
    list_ = std::move(made.list_);
    size_ = best->size;
    return true;
}

int ImageList::Count() const { return list_ ? ImageList_GetImageCount(list_.get()) : 0; }

bool NameLabel::Create(Control& parent, std::string_view name)
{
    return CreateChild(parent, "STATIC", WS_VISIBLE | SS_LEFT, 0, {}, name);
}

bool Edit::Create(Control& parent, const Placement& p, std::string_view name)
{
    // Made first, so it comes just before the edit among its siblings.
    if (!name.empty() && !label_.Create(parent, name))
        return false;
    return CreateChild(parent, "EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, p);
}

void Edit::SelectAll()
{
    if (hwnd_)
        SendMessageA(hwnd_, EM_SETSEL, 0, -1);
}

bool CheckBox::Create(Control& parent, const Placement& p, std::string_view caption)
{
    return CreateChild(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, p, caption);
}

bool CheckBox::IsChecked() const
{
    return hwnd_ && SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked)
{
    if (hwnd_)
        SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool PictureButton::Create(Control& parent, const Placement& p, const Args& args)
{
    images_ = args.images;
    imageIndex_ = args.imageIndex;
    latching_ = args.latching;
    frame_ = args.frame;
    name_ = args.name;
    checkedName_ = args.checkedName ? args.checkedName : args.name;
    return CreateChild(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, p, name_);
}

void PictureButton::SetImageIndex(int index)
{
    imageIndex_ = index;
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureButton::SetChecked(bool checked)
{
    if (checked != checked_)
        SetText(checked ? checkedName_ : name_);
    checked_ = checked;
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
}

bool PictureButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_DROPFILES) {
        const std::string paths = ReadDroppedPaths(reinterpret_cast<HDROP>(wParam));
        if (onDropFiles)
            onDropFiles(paths);
        result = 0;
        return true;
    }
    // A latching button toggles on every press: mouse down, a double click, or Space going down.
    const bool firstSpaceDown = msg == WM_KEYDOWN && wParam == VK_SPACE && (lParam & (1 << 30)) == 0;
    if (latching_ && IsEnabled() && (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || firstSpaceDown))
        SetChecked(!checked_);
    return false;
}

bool PictureButton::HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (msg == WM_COMMAND && (HIWORD(wParam) == BN_CLICKED)) {
        if (onClick)
            onClick();
        result = 0;
        return true;
    }
    return false;
}

void PictureButton::Draw(const DRAWITEMSTRUCT& item) const
{
    const HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool down = checked_ || (item.itemState & ODS_SELECTED) != 0;
    // A latched button must read as held down from across the room, not just pressed.
    if (checked_)
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    else if (down)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    if (frame_)
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    const auto scale = [this](int length) { return form_ ? form_->Scale(length) : length; };
    if (images_ && images_->Handle()) {
        int w = 0, h = 0;
        ImageList_GetIconSize(images_->Handle(), &w, &h);
        const int x = r.left + (r.right - r.left - w) / 2 + (down ? scale(1) : 0);
        const int y = r.top + (r.bottom - r.top - h) / 2 + (down ? scale(1) : 0);
        ImageList_Draw(images_->Handle(), imageIndex_, dc, x, y, ILD_TRANSPARENT);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -scale(3), -scale(3));
        DrawFocusRect(dc, &focus);
    }
}

bool ProgressBar::Create(Control& parent, const Placement& p)
{
    EnsureCommonControls();
    return CreateChild(parent, PROGRESS_CLASSA, 0, 0, p);
}

void ProgressBar::SetRange(int maximum)
{
    if (hwnd_)
        SendMessageA(hwnd_, PBM_SETRANGE32, 0, maximum);
}

void ProgressBar::SetPosition(int position)
{
    if (hwnd_)
        SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ProgressBar::SetWidth(int width)
{
    if (!hwnd_)
        return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tk
