#include "ui/event_wiring.h"

#include "ui/window_events.h"

#include "filelists/file_list_commands.h"
#include "queue/add_files.h"
#include "queue/list_commands.h"
#include "queue/processing_run.h"
#include "queue/task_list.h"

namespace {

constexpr std::uint8_t Virt = FVIRTKEY;
constexpr std::uint8_t Ctrl = FVIRTKEY | FCONTROL;

std::vector<TaskMenuEntry> TaskMenuEntries()
{
    using tk::MakeAccelerator;
    return {
        {"&Delete from list\tDelete", MakeAccelerator(Virt, VK_DELETE), DeleteFromList},
        {"Delete &processed\tCtrl+Delete", MakeAccelerator(Ctrl, VK_DELETE), DeleteProcessed},
        {"Clear &All\tCtrl+X", MakeAccelerator(Ctrl, 'X'), ClearAll},
        {"-", 0, {}},
        {"Process &Unprocessed\tCtrl+U", MakeAccelerator(Ctrl, 'U'), ProcessUnprocessed},
        {"-", 0, {}},
        {"Clear Current Result\tSpace", MakeAccelerator(Virt, VK_SPACE), ClearCurrentResult},
        {"Clear All &Results\tCtrl+R", MakeAccelerator(Ctrl, 'R'), ClearAllResults},
        {"-", 0, {}},
        {"&Open File List...\tCtrl+O", MakeAccelerator(Ctrl, 'O'), [] { OpenFileList(true); }},
        {"&Merge File List...\tCtrl+M", MakeAccelerator(Ctrl, 'M'), MergeFileList},
        {"&Save File List as...\tCtrl+S", MakeAccelerator(Ctrl, 'S'), SaveFileList},
    };
}

void ConnectWindowEvents(MainForm& f)
{
    f.Window.messageHook = [](MSG& m) { return WindowMessageHook(m) || DefaultButtonHandling(m); };
    f.Window.onClose = WindowClosing;
    f.Window.onDropFiles = DropOnWindow;
    f.Window.AcceptDrops();
}

void ConnectControlEvents(MainForm& f)
{
    f.AddButton.onClick = AddFilesCommand;
    f.StopButton.onClick = StopButtonClick;
    f.TaskListView.onDoubleClick = OpenRowFile;
    f.TaskListView.onResize = FitColumns;
    f.TaskListView.onContextMenu = ShowTaskMenu;
    f.TaskListView.onFocusGained = ListFocusGained;
    f.TaskListView.onFocusLost = ListFocusLost;
    f.CoderValueEdit.onFocusGained = [&f] { f.CoderValueEdit.SelectAll(); };
    f.DestinationEdit.onFocusGained = [&f] { f.DestinationEdit.SelectAll(); };
    f.BrowseButton.onClick = BrowseDestination;
    f.BrowseButton.onDropFiles = DropOnBrowseButton;
    f.BrowseButton.AcceptDrops();
}

} // namespace

MainFormWiring EventWiring()
{
    return {TaskMenuEntries(), ConnectWindowEvents, ConnectControlEvents};
}
