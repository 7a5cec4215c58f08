#include "toolkit/control.h"

#include "toolkit/dpi.h"
#include "toolkit/form.h"
#include "toolkit/message_pump.h"

#include <shellapi.h>

#include <vector>

namespace tk {
namespace {

const char* const ObjectProperty = "tk.Control";

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= 0x0108; }

} // namespace

Control::~Control()
{
    if (!hwnd_)
        return;
    // Unhook first: the window's last messages must not reach a half-destroyed object.
    const HWND hwnd = hwnd_;
    if (wideOriginal_)
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    else if (original_ != DefWindowProcA)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    Detach();
    DestroyWindow(hwnd);
}

Control* Control::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<Control*>(GetPropA(hwnd, ObjectProperty)) : nullptr;
}

void Control::Attach(HWND hwnd, WNDPROC original)
{
    hwnd_ = hwnd;
    original_ = original;
    SetPropA(hwnd, ObjectProperty, this);
}

void Control::Detach()
{
    if (hwnd_)
        RemovePropA(hwnd_, ObjectProperty);
    hwnd_ = nullptr;
}

bool Control::CreateChild(Control& parent, const char* className, DWORD style, DWORD exStyle,
                          const Placement& p, std::string_view text)
{
    if (!parent.Exists())
        return false;
    Form* const form = parent.form_ ? parent.form_ : dynamic_cast<Form*>(&parent);
    const Placement at = form ? ScaleToDpi(p, form->Dpi()) : p;
    const std::string caption(text);
    const HWND hwnd = CreateWindowExA(exStyle, className, caption.c_str(), style | WS_CHILD, at.left, at.top,
                                      at.width, at.height, parent.Handle(), nullptr, GetModuleHandleA(nullptr),
                                      nullptr);
    if (!hwnd)
        return false;
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::WindowProc)));
    Attach(hwnd, original);
    wideOriginal_ = true;
    form_ = form;
    layout_ = p;
    if (form_) {
        form_->Register(*this);
        SetFont(form_->DefaultFont());
    }
    return true;
}

LRESULT CALLBACK Control::ClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self)
            self->Attach(hwnd, DefWindowProcA);
    }
    return WindowProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Control* self = FromHandle(hwnd);
    if (!self)
        return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wParam, lParam)
                                     : DefWindowProcA(hwnd, msg, wParam, lParam);
    MSG m{};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    try {
        return self->Route(m);
    } catch (...) {
        // Nothing may unwind through the system's dispatcher; the command is abandoned.
        MessageBoxA(AppMainWindowHandle(), "Not enough memory to complete the operation", "Error",
                    MB_OK | MB_ICONERROR);
        return 0;
    }
}

// The order in which a message meets the program: the main window's hook, this window's own
// hook and handlers, the shortcuts, keyboard navigation, then the window's original procedure.
LRESULT Control::Route(MSG& m)
{
    Form* const main = AppMainWindow;
    if (AppRunning && main && main->Exists() && m.hwnd != main->Handle() && main->messageHook) {
        if (main->messageHook(m) || !hwnd_)
            return 0;
    }
    if (auto* form = dynamic_cast<Form*>(this); form && form->messageHook) {
        if (form->messageHook(m) || !hwnd_)
            return 0;
    }
    LRESULT result = 0;
    if (ReflectToChild(m, result) || HandleMessage(m.message, m.wParam, m.lParam, result))
        return result;
    if (!hwnd_)
        return 0;
    if (IsKeyMessage(m.message) && TranslateShortcut(*this, m))
        return 0;
    const bool plainTab = m.wParam == VK_TAB && !KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU);
    if (m.message == WM_KEYDOWN && plainTab && form_) {
        form_->FocusNext(KeyHeld(VK_SHIFT));
        return 0;
    }
    if (m.message == WM_CHAR && plainTab)
        return 0;
    if (m.message == WM_SETFOCUS && form_)
        form_->RememberFocus(*this);
    if (m.message == WM_SETFOCUS && onFocusGained) {
        const LRESULT r = CallOriginal(m.message, m.wParam, m.lParam);
        onFocusGained();
        return r;
    }
    if (m.message == WM_KILLFOCUS && onFocusLost) {
        const LRESULT r = CallOriginal(m.message, m.wParam, m.lParam);
        onFocusLost();
        return r;
    }
    if (m.message == WM_NCDESTROY) {
        const WNDPROC original = original_;
        const bool wide = wideOriginal_;
        Detach();
        return wide ? CallWindowProcW(original, m.hwnd, m.message, m.wParam, m.lParam)
                    : CallWindowProcA(original, m.hwnd, m.message, m.wParam, m.lParam);
    }
    return CallOriginal(m.message, m.wParam, m.lParam);
}

bool Control::ReflectToChild(const MSG& m, LRESULT& result)
{
    HWND child = nullptr;
    if (m.message == WM_COMMAND && m.lParam != 0)
        child = reinterpret_cast<HWND>(m.lParam);
    else if (m.message == WM_NOTIFY)
        child = reinterpret_cast<const NMHDR*>(m.lParam)->hwndFrom;
    else if (m.message == WM_DRAWITEM)
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam)->hwndItem;
    Control* target = FromHandle(child);
    return target && target != this && target->HandleReflected(m.message, m.wParam, m.lParam, result);
}

bool Control::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool Control::HandleReflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Control::CallOriginal(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd_)
        return 0;
    return wideOriginal_ ? CallWindowProcW(original_, hwnd_, msg, wParam, lParam)
                         : CallWindowProcA(original_, hwnd_, msg, wParam, lParam);
}

void Control::Show()
{
    if (hwnd_)
        ShowWindow(hwnd_, SW_SHOW);
}

void Control::Hide()
{
    if (!hwnd_)
        return;
    PassFocusOn();
    ShowWindow(hwnd_, SW_HIDE);
}

// A control that goes away or greys out hands the keyboard focus on, as in a dialog;
// otherwise the keys would reach no control at all.
void Control::PassFocusOn()
{
    if (HasFocus() && form_ && !form_->FocusNext(false))
        SetFocus(form_->Handle());
}

bool Control::IsVisible() const { return hwnd_ && (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Control::SetEnabled(bool enabled)
{
    if (!hwnd_)
        return;
    if (!enabled)
        PassFocusOn();
    EnableWindow(hwnd_, enabled);
}

bool Control::IsEnabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

std::string Control::Text() const
{
    if (!hwnd_)
        return {};
    std::vector<char> buffer(static_cast<std::size_t>(GetWindowTextLengthA(hwnd_)) + 2);
    const int n = GetWindowTextA(hwnd_, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

void Control::SetText(std::string_view text)
{
    if (hwnd_)
        SetWindowTextA(hwnd_, std::string(text).c_str());
}

void Control::Focus()
{
    if (hwnd_)
        SetFocus(hwnd_);
}

bool Control::HasFocus() const { return hwnd_ && GetFocus() == hwnd_; }

void Control::SetFont(HFONT font)
{
    if (hwnd_ && font)
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::Move(const Placement& p)
{
    if (hwnd_)
        MoveWindow(hwnd_, p.left, p.top, p.width, p.height, TRUE);
}

int Control::ClientWidth() const
{
    RECT r{};
    return hwnd_ && GetClientRect(hwnd_, &r) ? r.right - r.left : 0;
}

void Control::AcceptDrops()
{
    if (hwnd_)
        DragAcceptFiles(hwnd_, TRUE);
}

int Control::ClientHeight() const
{
    RECT r{};
    return hwnd_ && GetClientRect(hwnd_, &r) ? r.bottom - r.top : 0;
}

} // namespace tk
