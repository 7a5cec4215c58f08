#pragma once
// The standard controls the program uses: one small class for each kind.
#include "toolkit/control.h"
#include "toolkit/handles.h"

#include <cstdint>
#include <vector>

namespace tk {

// A bitmap resource of square pictures side by side, drawn for pictures of this size.
struct PictureStrip {
    int size;
    const char* resource;
};

class ImageList {
public:
    bool Create(int width, int height);
    bool AddMasked(const char* bitmapResource, COLORREF transparent);
    // The same pictures drawn for several sizes, the 96-DPI one first: the list holds those
    // of the largest size that fits the DPI, and changes to another with it.
    bool CreateForDpi(std::vector<PictureStrip> strips, COLORREF transparent, int dpi);
    bool ChangeDpi(int dpi);
    int Count() const;
    HIMAGELIST Handle() const { return list_.get(); }

private:
    ImageListHandle list_;
    std::vector<PictureStrip> strips_;
    COLORREF transparent_ = 0;
    int size_ = 0;
};

// A label of no size in front of a control: it draws nothing, and assistive technology
// takes the name of a control that has no caption of its own from the label before it.
class NameLabel : public Control {
public:
    bool Create(Control& parent, std::string_view name);
};

// Single-line edit with a border that scrolls its text sideways; its name says what it holds.
class Edit : public Control {
public:
    bool Create(Control& parent, const Placement& p, std::string_view name = {});
    void SelectAll();
    bool IsTabStop() const override { return true; }

private:
    NameLabel label_;
};

class CheckBox : public Control {
public:
    bool Create(Control& parent, const Placement& p, std::string_view caption);
    bool IsChecked() const;
    void SetChecked(bool checked);
    bool IsTabStop() const override { return true; }
};

// An owner-drawn push button that shows one picture of an image list. A latching button
// stays down after a press until the next press.
class PictureButton : public Control {
public:
    struct Args {
        const ImageList* images = nullptr;
        int imageIndex = 0;
        bool latching = false;
        bool frame = false;
        // What assistive technology calls it (its window text, never drawn); a latching
        // button has another name while it is down.
        const char* name = "";
        const char* checkedName = nullptr;
    };
    bool Create(Control& parent, const Placement& p, const Args& args);
    void SetImageIndex(int index);
    int ImageIndex() const { return imageIndex_; }
    bool IsChecked() const { return checked_; }
    void SetChecked(bool checked);
    bool IsTabStop() const override { return true; }

    std::function<void()> onClick;
    std::function<void(const std::string& paths)> onDropFiles;

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& item) const;

    const ImageList* images_ = nullptr;
    int imageIndex_ = 0;
    bool latching_ = false;
    bool frame_ = false;
    bool checked_ = false;
    std::string name_;
    std::string checkedName_;
};

class ProgressBar : public Control {
public:
    bool Create(Control& parent, const Placement& p);
    void SetRange(int maximum);
    void SetPosition(int position);
    void SetWidth(int width);
};

} // namespace tk
