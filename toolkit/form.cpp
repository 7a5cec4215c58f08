#include "toolkit/form.h"

#include "toolkit/controls.h"
#include "toolkit/dpi.h"
#include "toolkit/message_pump.h"
#include "toolkit/popup_menu.h"
#include "toolkit/process_text.h"
#include "toolkit/tooltips.h"

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace tk {
namespace {

const char* const FormClass = "tk.Form";
const char* const PanelClass = "tk.Panel";
constexpr std::size_t MaxAccelerators = 1000;
constexpr DWORD FormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int DefaultCellHeight = -11; // a character height of 11 pixels at 96 DPI

bool RegisterOnce(const char* name, WNDPROC procedure, HBRUSH background, HICON icon)
{
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

FontHandle MakeNamedFont(const std::string& name, int height)
{
    return FontHandle(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name.c_str()));
}

FontHandle CopyFontAtHeight(HFONT font, int height)
{
    LOGFONTA lf{};
    if (!font || !GetObjectA(font, sizeof(lf), &lf))
        return FontHandle();
    lf.lfHeight = height;
    lf.lfWidth = 0;
    return FontHandle(CreateFontIndirectA(&lf));
}

HFONT FontOf(const Control& control)
{
    return reinterpret_cast<HFONT>(SendMessageA(control.Handle(), WM_GETFONT, 0, 0));
}

} // namespace

Form::Form() = default;

Form::~Form()
{
    tooltips_.reset();
    // The window lets go of the icons before they are destroyed; those last messages are the
    // window's own business, not the program's hooks'.
    messageHook = nullptr;
    if (hwnd_) {
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, 0);
        SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, 0);
    }
}

bool Form::Create(const FormArgs& args)
{
    HICON icon = args.iconResource ? LoadIconA(GetModuleHandleA(nullptr), args.iconResource) : nullptr;
    if (!RegisterOnce(FormClass, &ClassProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon))
        return false;
    // Placed before its own DPI is known: at the system's, the DPI of the main screen.
    const int startDpi = SystemDpi();
    const auto place = [startDpi](int at) { return at == CW_USEDEFAULT ? at : ScaleToDpi(at, startDpi); };
    const DWORD exStyle = args.topmost ? WS_EX_TOPMOST : 0;
    const HWND hwnd = CreateWindowExA(exStyle, FormClass, args.caption.c_str(), FormStyle, place(args.left),
                                      place(args.top), 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (!hwnd)
        return false;
    form_ = this;
    dpi_ = WindowDpi(hwnd);
    fontName_ = args.fontName;
    defaultFont_ = MakeNamedFont(fontName_, Scale(DefaultCellHeight));
    iconResource_ = args.iconResource;
    SetIcons();
    SetClientSize(args.clientWidth, args.clientHeight);
    return true;
}

int Form::Scale(int length) const { return ScaleToDpi(length, dpi_); }

// Each size of the icon drawn for this DPI, never a stretch of another.
void Form::SetIcons()
{
    if (!iconResource_ || !hwnd_)
        return;
    const auto load = [this](int size) {
        return IconHandle(static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), iconResource_, IMAGE_ICON, Scale(size), Scale(size), 0)));
    };
    IconHandle big = load(32);
    IconHandle small = load(16);
    if (big) {
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
        bigIcon_ = std::move(big);
    }
    if (small) {
        SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
        smallIcon_ = std::move(small);
    }
}

HFONT Form::MakeFont(int cellHeight)
{
    FontHandle font = CopyFontAtHeight(defaultFont_.get(), Scale(cellHeight));
    if (!font)
        return nullptr;
    fonts_.push_back({cellHeight, std::move(font)});
    return fonts_.back().font.get();
}

// Every font again at the new DPI, handed to the controls that had the old one; the old
// ones go only when no control holds them. Should one fail, the controls keep the old set.
void Form::MakeFontsAgain()
{
    FontHandle newDefault = MakeNamedFont(fontName_, Scale(DefaultCellHeight));
    if (!newDefault)
        return;
    std::vector<FontHandle> made;
    for (const ScaledFont& font : fonts_) {
        made.push_back(CopyFontAtHeight(newDefault.get(), Scale(font.cellHeight)));
        if (!made.back())
            return;
    }
    for (Control* control : laidOut_) {
        const HFONT current = control->Exists() ? FontOf(*control) : nullptr;
        if (current && current == defaultFont_.get())
            control->SetFont(newDefault.get());
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            if (current && current == fonts_[i].font.get())
                control->SetFont(made[i].get());
    }
    defaultFont_ = std::move(newDefault);
    for (std::size_t i = 0; i < fonts_.size(); ++i)
        fonts_[i].font = std::move(made[i]);
}

void Form::FollowDpi(ImageList& images) { pictures_.push_back(&images); }

void Form::RegisterForLayout(Control& control) { laidOut_.push_back(&control); }

// The window moved to a screen of another DPI: everything in it at that DPI, in the rectangle
// the system suggests (which keeps it under the mouse while it is dragged across).
void Form::ChangeDpi(int dpi, const RECT& suggested)
{
    dpi_ = dpi;
    MakeFontsAgain();
    for (ImageList* images : pictures_)
        images->ChangeDpi(dpi);
    // The aligned ones are placed last, by the window's new size: their own handlers of a
    // size change (the list fits its columns, the progress bar) then see everything else done.
    for (Control* control : laidOut_) {
        if (!control->Exists())
            continue;
        control->DpiChanged(dpi);
        if (control != alignedTop_ && control != alignedClient_)
            control->Move(ScaleToDpi(control->Layout(), dpi));
    }
    SetIcons();
    if (tooltips_) {
        FontHandle font(MakeStatusFontForDpi(dpi));
        if (font) {
            tooltips_->SetFont(font.get());
            tooltipFont_ = std::move(font);
        }
    }
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
}

void Form::SetMinTrackSize(int width, int height) { minTrack_ = {width, height}; }

void Form::SetClientSize(int width, int height)
{
    if (!hwnd_)
        return;
    const RECT r = FrameForClient(Scale(width), Scale(height), static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)),
                                  static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)), GetMenu(hwnd_) != nullptr,
                                  dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::AlignTop(Control& control, int height)
{
    alignedTop_ = &control;
    alignedTopHeight_ = height;
    LayOut();
}

void Form::AlignClient(Control& control)
{
    alignedClient_ = &control;
    LayOut();
}

// Two passes: the top-aligned child across the top, then the client-aligned one in the rest.
void Form::LayOut()
{
    const int width = ClientWidth();
    const int height = ClientHeight();
    int top = 0;
    if (alignedTop_) {
        top = Scale(alignedTopHeight_);
        alignedTop_->Move({0, 0, width, top});
    }
    if (alignedClient_)
        alignedClient_->Move({0, top, width, std::max(0, height - top)});
}

void Form::AddTooltip(Control& control, std::string_view text)
{
    if (!tooltips_ && hwnd_)
        tooltips_ = std::make_unique<Tooltips>(hwnd_);
    if (tooltips_)
        tooltips_->Add(control, text);
}

void Form::Register(Control& control)
{
    tabOrder_.push_back(&control);
    RegisterForLayout(control);
}

void Form::RememberFocus(Control& control)
{
    if (&control != this)
        focused_ = &control;
}

void Form::FocusControl(Control& control)
{
    focused_ = &control;
    control.Focus();
}

bool Form::FocusNext(bool backwards)
{
    const auto n = static_cast<int>(tabOrder_.size());
    if (n == 0)
        return false;
    int current = -1;
    for (int i = 0; i < n; ++i)
        if (tabOrder_[static_cast<std::size_t>(i)]->HasFocus())
            current = i;
    for (int step = 1; step <= n; ++step) {
        int i = current < 0 ? (backwards ? n - step : step - 1) : current + (backwards ? -step : step);
        i = ((i % n) + n) % n;
        Control& c = *tabOrder_[static_cast<std::size_t>(i)];
        if (c.IsTabStop() && c.Exists() && IsWindowVisible(c.Handle()) && c.IsEnabled()) {
            FocusControl(c);
            return true;
        }
    }
    return false;
}

void Form::SetMainMenu(MenuHandle menu)
{
    // A main menu without items is kept but not shown: it would only be an empty strip.
    mainMenu_ = std::move(menu);
    if (hwnd_ && mainMenu_ && GetMenuItemCount(mainMenu_.get()) > 0)
        SetMenu(hwnd_, mainMenu_.get());
}

void Form::AttachMenu(PopupMenu& menu) { menus_.push_back(&menu); }

void Form::RebuildAccelerators()
{
    accelerators_.reset();
    std::vector<ACCEL> entries;
    for (const PopupMenu* menu : menus_) {
        for (const MenuItem& item : menu->Items()) {
            if (item.accelerator == 0 || entries.size() >= MaxAccelerators)
                continue;
            ACCEL a{};
            a.fVirt = static_cast<BYTE>(item.accelerator & 0xFF);
            a.key = static_cast<WORD>((item.accelerator >> 8) & 0xFFFF);
            a.cmd = static_cast<WORD>(item.id);
            entries.push_back(a);
        }
    }
    if (!entries.empty())
        accelerators_.reset(CreateAcceleratorTableA(entries.data(), static_cast<int>(entries.size())));
}

bool Form::RunMenuCommand(UINT id)
{
    for (PopupMenu* menu : menus_) {
        if (MenuItem* item = menu->FindById(id)) {
            if (item->onClick)
                item->onClick();
            return true;
        }
    }
    return false;
}

void Form::ShowNormalWithoutActivating()
{
    if (hwnd_)
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void Form::PostClose()
{
    if (hwnd_)
        PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

bool Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_COMMAND:
        if (lParam == 0 && HIWORD(wParam) <= 1 && RunMenuCommand(LOWORD(wParam))) {
            result = 0;
            return true;
        }
        return false;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {Scale(minTrack_.x), Scale(minTrack_.y)};
        return minTrack_.x > 0;
    case WM_DPICHANGED:
        ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_SIZE:
        lastSizeType_ = wParam;
        LayOut();
        return false;
    case WM_SETFOCUS:
        // Like a dialog, the window hands the focus on to the control that had it last.
        if (focused_ && focused_->Exists() && IsWindowVisible(focused_->Handle()) && focused_->IsEnabled()) {
            focused_->Focus();
            result = 0;
            return true;
        }
        return false;
    case WM_DROPFILES: {
        const std::string paths = ReadDroppedPaths(reinterpret_cast<HDROP>(wParam));
        if (onDropFiles)
            onDropFiles(paths);
        result = 0;
        return true;
    }
    case WM_CLOSE:
        if (onClose)
            onClose();
        if (this == AppMainWindow || AppMainWindow == nullptr)
            PostQuitMessage(0);
        return false; // DefWindowProc destroys the window
    default:
        return false;
    }
}

bool Panel::Create(Control& parent, const Placement& p)
{
    if (!RegisterOnce(PanelClass, &ClassProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr) || !parent.Exists())
        return false;
    Form* const form = parent.OwnerForm() ? parent.OwnerForm() : dynamic_cast<Form*>(&parent);
    const Placement at = form ? ScaleToDpi(p, form->Dpi()) : p;
    const HWND hwnd = CreateWindowExA(0, PanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, at.left, at.top,
                                      at.width, at.height, parent.Handle(), nullptr, GetModuleHandleA(nullptr), this);
    if (!hwnd)
        return false;
    form_ = form;
    layout_ = p;
    if (form_)
        form_->RegisterForLayout(*this);
    return true;
}

bool TranslateShortcut(Control& receiver, MSG& m)
{
    Form* table = dynamic_cast<Form*>(&receiver);
    if (!table || !table->Accelerators())
        table = receiver.OwnerForm();
    if (!table || !table->Exists() || !table->Accelerators())
        return false;
    if (!TranslateAcceleratorA(table->Handle(), table->Accelerators(), &m))
        return false;
    // The character made from the key before it was translated must not reach the control too.
    MSG pending;
    if (m.message == WM_KEYDOWN)
        PeekMessageA(&pending, m.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE);
    return true;
}

std::string ReadDroppedPaths(HDROP drop)
{
    // Wide names, whatever their length in UTF-8, converted by the program without a best fit.
    std::vector<std::wstring> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), length + 1));
        names.push_back(std::move(name));
    }
    // Released before any refusal is shown: a message box must not hold up the drag's source.
    DragFinish(drop);
    std::string joined;
    bool first = true;
    for (const std::wstring& name : names) {
        const std::optional<std::string> path = NameFromSystem(name);
        if (!path)
            continue;
        if (!first)
            joined += '\r';
        joined += *path;
        first = false;
    }
    return joined;
}

} // namespace tk
