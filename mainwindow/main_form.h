#pragma once
// The one record that owns the main window and everything in it. Members are in their
// order of creation; they are destroyed in reverse, the window itself last.
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/handles.h"
#include "toolkit/list_view.h"
#include "toolkit/open_save_dialog.h"
#include "toolkit/popup_menu.h"

#include <memory>

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

// Builds the whole window in its start state; null when the window cannot be made.
std::unique_ptr<MainForm> CreateMainForm();
