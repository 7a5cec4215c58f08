#pragma once
// One tooltip window per form, with a tip for each control that has one.
#include "toolkit/control.h"

namespace tk {

class Tooltips {
public:
    explicit Tooltips(HWND owner);
    ~Tooltips();
    Tooltips(const Tooltips&) = delete;
    Tooltips& operator=(const Tooltips&) = delete;

    void Add(const Control& control, std::string_view text);
    void SetFont(HFONT font);

private:
    HWND hwnd_ = nullptr;
};

} // namespace tk
