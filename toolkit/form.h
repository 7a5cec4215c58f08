#pragma once
// The top-level window: owns its font, menus and shortcut table, lays out its aligned
// children at the DPI of its screen, keeps the tab order, and offers the hooks the program
// connects to.
#include "toolkit/control.h"
#include "toolkit/handles.h"

#include <shellapi.h>

#include <memory>
#include <vector>

namespace tk {

class ImageList;
class PopupMenu;
class Tooltips;

// Positions and sizes in the pixels of the 96-DPI layout.
struct FormArgs {
    std::string caption;
    int left = CW_USEDEFAULT, top = CW_USEDEFAULT;
    int clientWidth = 0, clientHeight = 0;
    bool topmost = false;
    std::string fontName = "MS Sans Serif";
    const char* iconResource = nullptr;
};

class Form : public Control {
public:
    Form();
    ~Form() override;

    bool Create(const FormArgs& args);

    // Sees every message of every window of the program first (while the loop runs) and
    // every message of this window; returning true stops the message there.
    std::function<bool(MSG&)> messageHook;
    std::function<void()> onClose;                           // WM_CLOSE, before the window goes
    std::function<void(const std::string& paths)> onDropFiles; // full paths joined by CR

    HFONT DefaultFont() const { return defaultFont_.get(); }
    // A copy of the default font at another height (of the 96-DPI layout), owned here.
    HFONT MakeFont(int cellHeight);
    // The lengths below are of the 96-DPI layout.
    void SetMinTrackSize(int width, int height);
    void SetClientSize(int width, int height);
    void AlignTop(Control& control, int height);
    void AlignClient(Control& control);
    void AddTooltip(Control& control, std::string_view text);

    // The DPI of the screen the window is on, and a length of the 96-DPI layout at it.
    int Dpi() const { return dpi_; }
    int Scale(int length) const;
    // Pictures made again at the window's DPI whenever it changes.
    void FollowDpi(ImageList& images);

    // Every control is placed again at its layout's place when the DPI changes; containers
    // only that, the others are in the Tab order too.
    void RegisterForLayout(Control& control);
    // Keyboard focus and Tab order (creation order over visible, enabled tab stops).
    void Register(Control& control);
    void RememberFocus(Control& control);
    void FocusControl(Control& control);
    bool FocusNext(bool backwards);

    // Menus carried by this window and the shortcut table built from their items.
    void SetMainMenu(MenuHandle menu);
    void AttachMenu(PopupMenu& menu);
    void RebuildAccelerators();
    HACCEL Accelerators() const { return accelerators_.get(); }
    AcceleratorTable TakeAccelerators() { return std::move(accelerators_); }
    void SetAccelerators(AcceleratorTable table) { accelerators_ = std::move(table); }

    bool WasMinimizedOrMaximized() const { return lastSizeType_ == SIZE_MINIMIZED || lastSizeType_ == SIZE_MAXIMIZED; }
    void ShowNormalWithoutActivating();
    void PostClose();

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    struct ScaledFont {
        int cellHeight; // of the 96-DPI layout
        FontHandle font;
    };

    void LayOut();
    bool RunMenuCommand(UINT id);
    void SetIcons();
    void MakeFontsAgain();
    void ChangeDpi(int dpi, const RECT& suggested);

    int dpi_ = 96;
    const char* iconResource_ = nullptr;
    IconHandle bigIcon_, smallIcon_;
    std::string fontName_;
    FontHandle defaultFont_;
    std::vector<ScaledFont> fonts_;
    FontHandle tooltipFont_;
    std::vector<Control*> laidOut_;
    std::vector<ImageList*> pictures_;
    MenuHandle mainMenu_;
    std::vector<PopupMenu*> menus_;
    AcceleratorTable accelerators_;
    std::unique_ptr<Tooltips> tooltips_;
    std::vector<Control*> tabOrder_;
    Control* focused_ = nullptr;
    Control* alignedTop_ = nullptr;
    int alignedTopHeight_ = 0;
    Control* alignedClient_ = nullptr;
    POINT minTrack_{0, 0};
    WPARAM lastSizeType_ = SIZE_RESTORED;
};

// A container without border in the button-face colour; its children's notifications
// are passed back to them.
class Panel : public Control {
public:
    bool Create(Control& parent, const Placement& p);
};

// The shortcut step of message routing: translate a key through the receiving window's
// table, or else through the table of the form that contains it.
bool TranslateShortcut(Control& receiver, MSG& m);

// Full paths of the items of a drop, joined by CR, read without any length limit; releases
// the drop. An item the process code page cannot name exactly is refused with a message.
std::string ReadDroppedPaths(HDROP drop);

} // namespace tk
