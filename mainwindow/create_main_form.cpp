#include "mainwindow/main_form.h"

#include "mainwindow/program_folder.h"

MainForm* TheMainForm = nullptr;
tk::AcceleratorTable SavedAccelerators;

namespace {

constexpr COLORREF PictureBackground = RGB(192, 192, 192);

// The button pictures drawn for 100, 125, 150 and 200 %.
std::vector<tk::PictureStrip> ButtonPictures()
{
    return {{16, "FORM1_IMAGELIST1"}, {20, "BUTTONS_20"}, {24, "BUTTONS_24"}, {32, "BUTTONS_32"}};
}

bool CreateWindowItself(MainForm& f)
{
    tk::FormArgs args;
    args.caption = "Vorrin";
    args.left = 182;
    args.top = 222;
    args.clientWidth = 197;
    args.clientHeight = 101;
    args.topmost = true;
    args.iconResource = "MAINICON";
    if (!f.Window.Create(args))
        return false;
    f.Window.SetMinTrackSize(200, 115);
    f.Window.SetMainMenu(tk::MenuHandle(CreateMenu()));
    return true;
}

void CreateDialogs(MainForm& f)
{
    f.AddFilesDialog.Title = "Select file(s) to simple coding...";
    f.AddFilesDialog.Options = FileDialogOption::AllowMultiSelect | FileDialogOption::FileMustExist |
                               FileDialogOption::PathMustExist | FileDialogOption::HideReadOnly;
    f.FileListDialog.Filter = "FileList Files (*.flt)|*.flt|All Files (*.*)|*.*";
}

bool CreateTaskMenu(MainForm& f, const std::vector<TaskMenuEntry>& entries)
{
    if (!f.TaskMenu.Create(f.Window))
        return false;
    for (const TaskMenuEntry& entry : entries) {
        const int index = f.TaskMenu.AddItem(entry.text, entry.command);
        if (entry.accelerator)
            f.TaskMenu.SetItemAccelerator(index, entry.accelerator);
    }
    return true;
}

bool CreateTaskList(MainForm& f)
{
    if (!f.TaskListView.Create(f.Window, {0, 58, 197, 43}))
        return false;
    f.TaskListView.AddColumn(50, "File");
    f.TaskListView.AddColumn(30, "Result");
    f.Window.AlignClient(f.TaskListView);
    return true;
}

struct ButtonLook {
    int image;
    const char* name;
    const char* tip;
    bool latching = false;
    bool frame = false;
    const char* checkedName = nullptr;
};

bool CreatePictureButton(MainForm& f, tk::PictureButton& button, const tk::Placement& p, const ButtonLook& look)
{
    tk::PictureButton::Args args;
    args.images = &f.ButtonImages;
    args.imageIndex = look.image;
    args.latching = look.latching;
    args.frame = look.frame;
    args.name = look.name;
    args.checkedName = look.checkedName;
    if (!button.Create(f.ControlPanel, p, args))
        return false;
    f.Window.AddTooltip(button, look.tip);
    return true;
}

bool CreatePanel(MainForm& f)
{
    if (!f.ControlPanel.Create(f.Window, {0, 0, 197, 58}))
        return false;
    f.Window.AlignTop(f.ControlPanel, 58);
    if (!f.ProgressBar.Create(f.ControlPanel, {8, 33, 145, 20}) ||
        !f.CoderValueEdit.Create(f.ControlPanel, {8, 5, 81, 21}, "Initial coder value") ||
        !f.ExitOnDoneCheck.Create(f.ControlPanel, {8, 7, 81, 17}, "Exit on Done"))
        return false;
    f.CoderValueEdit.SetText("962");
    f.Window.AddTooltip(f.CoderValueEdit, "Initial coder value");
    f.ExitOnDoneCheck.Hide();
    f.ExitOnDoneCheck.SetFont(f.Window.MakeFont(8));
    f.Window.AddTooltip(f.ExitOnDoneCheck, "Close when processing will complete");
    if (!CreatePictureButton(f, f.AddButton, {98, 1, 30, 30},
                             {AddImage, "Add", "Add File(s) to the List and run convertion", false, true}) ||
        !CreatePictureButton(f, f.PauseButton, {129, 1, 30, 30},
                             {PauseGreyImage, "Pause", "Pause/Resume processing", true, false, "Resume"}) ||
        !CreatePictureButton(f, f.StopButton, {160, 1, 30, 30},
                             {StopGreyImage, "Stop", "Stop after completing current file"}))
        return false;
    f.PauseButton.SetEnabled(false);
    f.StopButton.SetEnabled(false);
    if (!f.DestinationEdit.Create(f.ControlPanel, {8, 32, 145, 22}, "Destination folder"))
        return false;
    f.DestinationEdit.SetFont(f.Window.MakeFont(8));
    f.Window.AddTooltip(f.DestinationEdit, "destination path (if empty - source file replaced)");
    return CreatePictureButton(f, f.BrowseButton, {158, 32, 33, 22},
                               {FolderImage, "Browse", "Select destination path"});
}

// Focus on the coder value, both dialogs in the program's folder, shortcuts off until the
// task list has the focus.
void EnterStartState(MainForm& f)
{
    f.Window.FocusControl(f.CoderValueEdit);
    const std::string folder = ProgramFolder();
    f.AddFilesDialog.InitialFolder = folder;
    f.FileListDialog.InitialFolder = folder;
    SavedAccelerators = f.Window.TakeAccelerators();
}

} // namespace

std::unique_ptr<MainForm> CreateMainForm(const MainFormWiring& wiring)
{
    auto form = std::make_unique<MainForm>();
    MainForm& f = *form;
    TheMainForm = &f;
    if (!CreateWindowItself(f)) {
        TheMainForm = nullptr;
        return nullptr;
    }
    wiring.connectWindowEvents(f);
    CreateDialogs(f);
    f.Window.FollowDpi(f.ButtonImages);
    const bool made = CreateTaskMenu(f, wiring.taskMenu) &&
                      f.ButtonImages.CreateForDpi(ButtonPictures(), PictureBackground, f.Window.Dpi()) &&
                      CreateTaskList(f) && CreatePanel(f);
    if (!made) {
        TheMainForm = nullptr;
        return nullptr;
    }
    f.AddFilesDialog.Owner = f.Window.Handle();
    f.FileListDialog.Owner = f.Window.Handle();
    wiring.connectControlEvents(f);
    EnterStartState(f);
    return form;
}
