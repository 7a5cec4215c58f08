#include "toolkit/popup_menu.h"

#include "toolkit/form.h"

namespace tk {

unsigned NextCommandId()
{
    static unsigned next = FirstCommandId;
    return next++;
}

bool PopupMenu::Create(Form& carrier)
{
    menu_.reset(CreatePopupMenu());
    if (!menu_)
        return false;
    carrier_ = &carrier;
    carrier.AttachMenu(*this);
    return true;
}

int PopupMenu::AddItem(const std::string& text, std::function<void()> onClick)
{
    MenuItem item;
    item.text = text;
    item.id = NextCommandId();
    item.onClick = std::move(onClick);
    if (menu_) {
        if (text == "-")
            AppendMenuA(menu_.get(), MF_SEPARATOR, item.id, nullptr);
        else
            AppendMenuA(menu_.get(), MF_STRING, item.id, text.c_str());
    }
    items_.push_back(std::move(item));
    return static_cast<int>(items_.size()) - 1;
}

void PopupMenu::SetItemAccelerator(int index, std::uint32_t accelerator)
{
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return;
    MenuItem& item = items_[static_cast<std::size_t>(index)];
    if (item.accelerator == accelerator)
        return;
    item.accelerator = accelerator;
    if (carrier_)
        carrier_->RebuildAccelerators();
}

MenuItem* PopupMenu::FindById(unsigned id)
{
    for (MenuItem& item : items_)
        if (item.id == id)
            return &item;
    return nullptr;
}

void PopupMenu::ShowAt(int screenX, int screenY)
{
    if (!menu_ || !carrier_ || !carrier_->Exists())
        return;
    // The choice arrives as WM_COMMAND at the carrier, which runs the item's handler.
    TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenX, screenY, 0, carrier_->Handle(), nullptr);
}

} // namespace tk
