#include "ui/window_events.h"

#include "mainwindow/main_form.h"
#include "mainwindow/message_box.h"
#include "mainwindow/program_folder.h"
#include "queue/add_files.h"
#include "queue/processing_run.h"
#include "queue/read_coder_value.h"
#include "queue/task_list.h"
#include "toolkit/folder_browser.h"
#include "toolkit/folder_part.h"
#include "toolkit/message_pump.h"
#include "toolkit/string_list.h"

#include <shellapi.h>

namespace {

bool ConfirmExitDuringRun()
{
    return ShowMessage("Coding is in progress now\rAre you sure you want to exit just now?", "Confirmation",
                       MB_YESNOCANCEL | MB_ICONQUESTION) == IDYES;
}

// The window's push buttons and check box other than the Add button keep Enter to themselves.
bool FocusOnOtherButton(const MainForm& f)
{
    const HWND focus = GetFocus();
    return focus == f.PauseButton.Handle() || focus == f.StopButton.Handle() ||
           focus == f.BrowseButton.Handle() || focus == f.ExitOnDoneCheck.Handle();
}

bool IsExistingFolder(const std::string& path)
{
    // No "insert a disk" box for a drive without a medium.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    SetErrorMode(previous);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

bool WindowMessageHook(MSG& m)
{
    if (!TheMainForm)
        return false;
    if (m.message == WM_KEYDOWN) {
        switch (m.wParam) {
        case VK_ESCAPE:
            if (!RunInProgress())
                PostMessageA(TheMainForm->Window.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case VK_INSERT:
            AddFilesCommand();
            break;
        case VK_F1:
            OpenHelp();
            break;
        default:
            break;
        }
        return false;
    }
    if (m.message == WM_SYSCOMMAND && m.wParam == SC_CLOSE && RunInProgress()) {
        if (!ConfirmExitDuringRun())
            return true;
        ExitRequested = true;
    }
    return false;
}

bool DefaultButtonHandling(MSG& m)
{
    if ((m.message != WM_KEYDOWN && m.message != WM_KEYUP) || m.wParam != VK_RETURN || AppTerminated ||
        !TheMainForm)
        return false;
    MainForm& f = *TheMainForm;
    if (!f.AddButton.IsVisible() || !f.AddButton.IsEnabled() || FocusOnOtherButton(f))
        return false;
    if (m.message == WM_KEYDOWN)
        f.AddButton.Focus();
    // The button's own Space handling clicks it when the key goes up.
    SendMessageA(f.AddButton.Handle(), m.message, VK_SPACE, m.lParam);
    m.wParam = 0;
    return true;
}

void DropOnWindow(const std::string& dropText)
{
    const std::optional<CoderValue> value = ReadCoderValue();
    if (!value)
        return;
    StringList paths;
    paths.SetText(dropText);
    AddFiles(paths, *value);
}

void DropOnBrowseButton(const std::string& dropText)
{
    StringList paths;
    paths.SetText(dropText);
    if (paths.Count() == 0 || !TheMainForm)
        return;
    const std::string& first = paths.Item(0);
    TheMainForm->DestinationEdit.SetText(IsExistingFolder(first) ? first : FolderPart(first));
}

void BrowseDestination()
{
    if (!TheMainForm)
        return;
    FolderBrowser browser;
    browser.SetInitialPath(TheMainForm->DestinationEdit.Text());
    if (browser.Execute())
        TheMainForm->DestinationEdit.SetText(browser.ResultPath());
}

std::string HelpFilePath()
{
    return ProgramFolder() + "vorrin.chm";
}

void OpenHelp()
{
    // Without the program's folder, a bare "vorrin.chm" would be looked for elsewhere.
    if (ProgramFolder().empty())
        return;
    const std::string help = HelpFilePath();
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(
        TheMainForm ? TheMainForm->Window.Handle() : nullptr, "Open", help.c_str(), nullptr, nullptr, SW_SHOW));
    // Above 32 is success; anything else, a missing file first of all, would say nothing.
    if (result <= 32)
        ShowMessage("Can't open file\r" + help, "Error", MB_OK | MB_ICONERROR);
}

void ListFocusGained()
{
    if (!TheMainForm)
        return;
    if (SavedAccelerators)
        TheMainForm->Window.SetAccelerators(std::move(SavedAccelerators));
    if (SelectedRow() < 0 && RowCount() > 0)
        SelectRow(0);
}

void ListFocusLost()
{
    if (TheMainForm && TheMainForm->Window.Accelerators())
        SavedAccelerators = TheMainForm->Window.TakeAccelerators();
}

void WindowClosing()
{
    // Back on the window, so the table is destroyed with it.
    if (TheMainForm && SavedAccelerators)
        TheMainForm->Window.SetAccelerators(std::move(SavedAccelerators));
}
