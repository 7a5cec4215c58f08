#pragma once
// The base of every control object: it owns one HWND, sees that window's messages first
// (the window is subclassed, or created with our own class), and outlives its window
// harmlessly: once the window is destroyed, every call on the object does nothing.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tk {

class Form;

// Where a child control goes, in the pixels of the 96-DPI layout.
struct Placement {
    int left = 0, top = 0, width = 0, height = 0;
};

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Handle() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr; }
    static Control* FromHandle(HWND hwnd);

    void Show();
    void Hide();
    bool IsVisible() const;
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    std::string Text() const;
    void SetText(std::string_view text);
    void Focus();
    bool HasFocus() const;
    void SetFont(HFONT font);
    // In the window's own pixels, not the 96-DPI layout's.
    void Move(const Placement& p);
    // The place it was made at, in the 96-DPI layout; the form puts it there at any DPI.
    const Placement& Layout() const { return layout_; }
    // The window moved to a screen of another DPI: what the control scales itself, beyond its place.
    virtual void DpiChanged(int /*dpi*/) {}
    int ClientWidth() const;
    int ClientHeight() const;
    // Makes the window a target for files dropped from the shell.
    void AcceptDrops();

    // The form whose tab order this control belongs to.
    Form* OwnerForm() const { return form_; }
    virtual bool IsTabStop() const { return false; }

    std::function<void()> onFocusGained;
    std::function<void()> onFocusLost;

protected:
    // For standard controls: create the window at the form's DPI and subclass it.
    bool CreateChild(Control& parent, const char* className, DWORD style, DWORD exStyle,
                     const Placement& p, std::string_view text = {});
    // Subclasses our own window: remembers the object and routes its messages through Route.
    void Attach(HWND hwnd, WNDPROC original);

    // The control's own handling; return true with result set when the message is consumed.
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Notifications (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM) that the parent passes back to the child.
    virtual bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT CallOriginal(UINT msg, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
    // Standard controls are subclassed with the wide call, so a typed character reaches the
    // edit whole instead of through the keyboard's ANSI code page.
    bool wideOriginal_ = false;
    Form* form_ = nullptr;
    Placement layout_;

private:
    void PassFocusOn();
    LRESULT Route(MSG& m);
    bool ReflectToChild(const MSG& m, LRESULT& result);
    void Detach();
};

} // namespace tk
