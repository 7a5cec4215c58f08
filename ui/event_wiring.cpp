#include "ui/event_wiring.h"

namespace {

constexpr std::uint8_t Virt = FVIRTKEY;
constexpr std::uint8_t Ctrl = FVIRTKEY | FCONTROL;

} // namespace

std::vector<TaskMenuEntry> TaskMenuEntries()
{
    using tk::MakeAccelerator;
    return {
        {"&Delete from list\tDelete", MakeAccelerator(Virt, VK_DELETE), {}},
        {"Delete &processed\tCtrl+Delete", MakeAccelerator(Ctrl, VK_DELETE), {}},
        {"Clear &All\tCtrl+X", MakeAccelerator(Ctrl, 'X'), {}},
        {"-", 0, {}},
        {"Process &Unprocessed\tCtrl+U", MakeAccelerator(Ctrl, 'U'), {}},
        {"-", 0, {}},
        {"Clear Current Result\tSpace", MakeAccelerator(Virt, VK_SPACE), {}},
        {"Clear All &Results\tCtrl+R", MakeAccelerator(Ctrl, 'R'), {}},
        {"-", 0, {}},
        {"&Open File List...\tCtrl+O", MakeAccelerator(Ctrl, 'O'), {}},
        {"&Merge File List...\tCtrl+M", MakeAccelerator(Ctrl, 'M'), {}},
        {"&Save File List as...\tCtrl+S", MakeAccelerator(Ctrl, 'S'), {}},
    };
}

void ConnectWindowEvents(MainForm&)
{
}

void ConnectControlEvents(MainForm&)
{
}
