#pragma once
// A pop-up menu whose items carry a command handler and an optional shortcut; the window
// that carries the menu builds its shortcut table from the items.
#include "toolkit/handles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tk {

class Form;

inline constexpr unsigned FirstCommandId = 4096; // below are item positions, from here identifiers

// Flags in the low byte, the key code in the next two bytes.
constexpr std::uint32_t MakeAccelerator(std::uint8_t flags, std::uint16_t key)
{
    return static_cast<std::uint32_t>(flags) | (static_cast<std::uint32_t>(key) << 8);
}

struct MenuItem {
    std::string text; // "-" is a separator
    unsigned id = 0;
    std::uint32_t accelerator = 0;
    std::function<void()> onClick;
};

class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    bool Create(Form& carrier);
    int AddItem(const std::string& text, std::function<void()> onClick = {});
    void SetItemAccelerator(int index, std::uint32_t accelerator);

    const std::vector<MenuItem>& Items() const { return items_; }
    MenuItem* FindById(unsigned id);
    HMENU Handle() const { return menu_.get(); }
    void ShowAt(int screenX, int screenY);

private:
    MenuHandle menu_;
    Form* carrier_ = nullptr;
    std::vector<MenuItem> items_;
};

// The next command identifier: unique in the application, given in order of making.
unsigned NextCommandId();

} // namespace tk
