#pragma once
// The one record that owns the main window and everything in it. Members are in their
// order of creation; they are destroyed in reverse, the window itself last.
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"
#include "toolkit/list_view.h"
#include "toolkit/open_save_dialog.h"
#include "toolkit/popup_menu.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct MainForm {
    tk::Form Window;
    OpenSaveDialog AddFilesDialog;
    OpenSaveDialog FileListDialog;
    tk::PopupMenu TaskMenu;
    tk::ImageList ButtonImages;
    tk::ListView TaskListView;
    tk::Panel ControlPanel;
    tk::ProgressBar ProgressBar;
    tk::Edit CoderValueEdit;
    tk::CheckBox ExitOnDoneCheck;
    tk::PictureButton AddButton;
    tk::PictureButton PauseButton;
    tk::PictureButton StopButton;
    tk::Edit DestinationEdit;
    tk::PictureButton BrowseButton;
};

// Indexes into ButtonImages.
enum ButtonImage : int {
    AddImage = 0,
    PauseImage = 1,
    PauseGreyImage = 2,
    StopImage = 3,
    StopGreyImage = 4,
    FolderImage = 5,
};

// The one global reference through which every part of the program reaches the window.
extern MainForm* TheMainForm;

// The shortcut table of TaskMenu while it is off the window (the list lacks the focus).
extern tk::AcceleratorTable SavedAccelerators;

// One entry of the task list's pop-up menu: "-" for a separator.
struct TaskMenuEntry {
    const char* text;
    std::uint32_t accelerator;
    std::function<void()> command;
};

// What the layers above connect to the window while it is built: the window lives down here,
// the operations its events run live above it.
struct MainFormWiring {
    std::vector<TaskMenuEntry> taskMenu;
    std::function<void(MainForm&)> connectWindowEvents;  // as soon as the window itself exists
    std::function<void(MainForm&)> connectControlEvents; // once every control exists
};

// Builds the whole window in its start state, its events connected as `wiring` says; null
// when the window cannot be made.
std::unique_ptr<MainForm> CreateMainForm(const MainFormWiring& wiring);
// Destroys the window and what the program keeps of it (TheMainForm, the shortcut table held
// off it), so nothing refers to a window that is gone.
inline void DestroyMainForm(std::unique_ptr<MainForm>& form)
{
    form.reset();
    TheMainForm = nullptr;
    SavedAccelerators.reset();
}
