// The dialog objects against the platform's real dialogs, answered by a helper thread that
// finds the dialog, types into it and presses its buttons.
#include "support/file_dialog_driver.h"
#include "toolkit/folder_browser.h"
#include "toolkit/open_save_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>
#include <commctrl.h>

#include <fstream>
#include <string>
#include <vector>

using namespace dialog_driver;

namespace {

// A fresh folder with a few files, under the temporary folder, in its long form. Its name is
// not ASCII, so every dialog below also carries such a name both ways.
class ScratchFolder {
public:
    explicit ScratchFolder(std::initializer_list<const char*> files)
    {
        char base[MAX_PATH + 1];
        GetTempPathA(sizeof base, base);
        char longBase[MAX_PATH + 1];
        GetLongPathNameA(base, longBase, sizeof longBase);
        path_ = std::string(longBase) + "vorrin-dialogs-\u0393\u00E9\u4E2D-" +
                std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter_);
        CreateDirectoryA(path_.c_str(), nullptr);
        for (const char* name : files) {
            std::ofstream(Join(name)) << name;
            names_.emplace_back(name);
        }
    }
    ~ScratchFolder()
    {
        for (const std::string& name : names_)
            DeleteFileA(Join(name).c_str());
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::string Join(const std::string& name) const { return path_ + "\\" + name; }

private:
    static inline int counter_ = 0;
    std::string path_;
    std::vector<std::string> names_;
};

OpenSaveDialog AddFilesStyleDialog(const std::string& folder)
{
    OpenSaveDialog dialog(FileDialogOption::FileMustExist | FileDialogOption::HideReadOnly |
                          FileDialogOption::AllowMultiSelect | FileDialogOption::PathMustExist);
    dialog.Title = "Pick files for the test";
    dialog.InitialFolder = folder;
    return dialog;
}

} // namespace

TEST(OpenSaveDialog, MadeWithoutOptionsGetsTheDefaults)
{
    EXPECT_EQ(OpenSaveDialog().Options, DWORD(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT |
                                              OFN_PATHMUSTEXIST));
    EXPECT_EQ(OpenSaveDialog(FileDialogOption::HideReadOnly).Options, DWORD(OFN_HIDEREADONLY));
}

TEST(OpenSaveDialog, OneChosenFileGivesItsFullPathAndSeveralGiveFolderAndNames)
{
    const ScratchFolder folder{"a.txt", "b.txt"};
    OpenSaveDialog dialog = AddFilesStyleDialog(folder.Path());
    {
        DialogHelper helper([&](DWORD thread) { return AnswerWithName(thread, "a.txt", *dialog.Title); });
        EXPECT_TRUE(dialog.Execute());
        EXPECT_TRUE(helper.Finish());
    }
    EXPECT_EQ(dialog.FileName, folder.Join("a.txt"));

    {
        DialogHelper helper([&](DWORD thread) {
            return AnswerWithName(thread, "\"a.txt\" \"b.txt\"", *dialog.Title);
        });
        EXPECT_TRUE(dialog.Execute());
        EXPECT_TRUE(helper.Finish());
    }
    EXPECT_EQ(dialog.FileName, folder.Path() + "\ra.txt\rb.txt");
}

TEST(OpenSaveDialog, SeveralFilesInADrivesRootGiveTheRootWithItsBackslash)
{
    const std::vector<std::string> files{"C:\\vorrin-root-a.txt", "C:\\vorrin-root-b.txt"};
    for (const std::string& file : files)
        std::ofstream(file) << file;
    OpenSaveDialog dialog = AddFilesStyleDialog("C:\\");
    DialogHelper helper([&](DWORD thread) {
        return AnswerWithName(thread, "\"vorrin-root-a.txt\" \"vorrin-root-b.txt\"", *dialog.Title);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(dialog.FileName, "C:\\\rvorrin-root-a.txt\rvorrin-root-b.txt");
    for (const std::string& file : files)
        DeleteFileA(file.c_str());
}

TEST(OpenSaveDialog, CancelEmptiesTheNameSoTheNextUseProposesNothing)
{
    const ScratchFolder folder{"a.txt"};
    OpenSaveDialog dialog = AddFilesStyleDialog(folder.Path());
    dialog.FileName = "a.txt";
    std::string proposedFirst = "?";
    std::string proposedNext = "?";
    DialogHelper helper([&](DWORD thread) {
        const HWND first = WaitForDialog(thread, *dialog.Title);
        if (!first)
            return false;
        proposedFirst = TextOf(FileNameBox(first));
        if (!PressUntilGone(first, IDCANCEL))
            return false;
        const HWND next = WaitForDialog(thread, *dialog.Title);
        if (!next)
            return false;
        proposedNext = TextOf(FileNameBox(next));
        return PressUntilGone(next, IDCANCEL);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(proposedFirst, "a.txt");
    EXPECT_EQ(proposedNext, "");
}

TEST(OpenSaveDialog, ChosenFilterIsRememberedForTheNextUse)
{
    const ScratchFolder folder{"a.txt"};
    OpenSaveDialog dialog(FileDialogOption::FileMustExist | FileDialogOption::HideReadOnly |
                          FileDialogOption::PathMustExist);
    dialog.Title = "Pick a list for the test";
    dialog.Filter = "FileList Files (*.flt)|*.flt|All Files (*.*)|*.*";
    dialog.InitialFolder = folder.Path();
    LRESULT shownFirst = -1;
    LRESULT shownNext = -1;
    DialogHelper helper([&](DWORD thread) {
        const HWND first = WaitForDialog(thread, *dialog.Title);
        if (!first)
            return false;
        const HWND types = GetDlgItem(first, cmb1);
        shownFirst = SendMessageA(types, CB_GETCURSEL, 0, 0);
        SendMessageA(types, CB_SETCURSEL, 1, 0);
        for (const WORD notification : {CBN_SELCHANGE, CBN_SELENDOK}) // as a click would send them
            SendMessageA(first, WM_COMMAND, MAKEWPARAM(cmb1, notification), reinterpret_cast<LPARAM>(types));
        TypeAndConfirm(first, "a.txt");
        if (!WaitUntilGone(first))
            return false;
        const HWND next = WaitForDialog(thread, *dialog.Title);
        if (!next)
            return false;
        shownNext = SendMessageA(GetDlgItem(next, cmb1), CB_GETCURSEL, 0, 0);
        return PressUntilGone(next, IDCANCEL);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FilterIndex, 2u);
    EXPECT_EQ(dialog.FileName, folder.Join("a.txt"));
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(shownFirst, 0);
    EXPECT_EQ(shownNext, 1);
}

TEST(OpenSaveDialog, SavingOverAnExistingFileAsksFirstAndNoReturnsToTheDialog)
{
    const ScratchFolder folder{"old.flt"};
    OpenSaveDialog dialog(FileDialogOption::HideReadOnly | FileDialogOption::OverwritePrompt |
                          FileDialogOption::PathMustExist);
    dialog.Mode = DialogMode::Save;
    dialog.Title = "Save a list for the test";
    dialog.InitialFolder = folder.Path();
    bool stayedAfterNo = false;
    DialogHelper helper([&](DWORD thread) {
        const HWND box = WaitForDialog(thread, *dialog.Title);
        if (!box)
            return false;
        TypeAndConfirm(box, "old.flt");
        const HWND question = WaitForDialog(thread, "", box);
        if (!question)
            return false;
        if (!PressUntilGone(question, IDNO))
            return false;
        Sleep(200);
        stayedAfterNo = IsWindowVisible(box);
        Press(box, IDOK);
        const HWND again = WaitForDialog(thread, "", box);
        if (!again)
            return false;
        Press(again, IDYES);
        return WaitUntilGone(box);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_TRUE(stayedAfterNo);
    EXPECT_EQ(dialog.FileName, folder.Join("old.flt"));
}

TEST(OpenSaveDialog, SaveAddsTheDefaultExtensionToATypedName)
{
    const ScratchFolder folder{};
    OpenSaveDialog dialog(FileDialogOption::HideReadOnly | FileDialogOption::PathMustExist);
    dialog.Mode = DialogMode::Save;
    dialog.Title = "Save with an extension";
    dialog.DefaultExtension = "flt";
    dialog.InitialFolder = folder.Path();
    DialogHelper helper([&](DWORD thread) { return AnswerWithName(thread, "queue", *dialog.Title); });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(dialog.FileName, folder.Join("queue.flt"));
}

// Made before any dialog runs: the platform's shell may keep a folder's listing from its first
// look for the rest of the process, and would not find a folder made after that.
const ScratchFolder browseTarget{};

// The text of the browser's selected folder; the tree fills in the background, slowly in a
// process whose shell is not warm yet.
std::string SelectedFolderName(HWND box)
{
    const HWND tree = FindWindowExA(box, nullptr, "SysTreeView32", nullptr);
    const auto item = tree ? reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : nullptr;
    char text[MAX_PATH + 1] = "";
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    if (!item || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query)))
        return {};
    return text;
}

TEST(FolderBrowser, OpensAtTheInitialPathAndReturnsTheChosenFolder)
{
    FolderBrowser browser;
    browser.SetInitialPath(browseTarget.Path() + "\\");
    const std::string leaf = browseTarget.Path().substr(browseTarget.Path().rfind('\\') + 1);
    DialogHelper helper([&](DWORD thread) {
        const HWND box = WaitForDialog(thread);
        if (!box)
            return false;
        // Under Wine the first selection is now and then lost while the shell starts up;
        // the browser is then asked again, the same way it asks at its start.
        for (int tries = 0; tries < 200 && SelectedFolderName(box) != leaf; ++tries) {
            if (tries % 40 == 39)
                SendMessageA(box, BFFM_SETSELECTIONA, TRUE,
                             reinterpret_cast<LPARAM>((browseTarget.Path() + "\\").c_str()));
            Sleep(50);
        }
        return PressUntilGone(box, IDOK);
    });
    EXPECT_TRUE(browser.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(browser.ResultPath(), browseTarget.Path());
}

TEST(FolderBrowser, ABareDriveOpensAtItsRootAndCancelKeepsTheResult)
{
    FolderBrowser browser;
    browser.SetInitialPath("C:");
    DialogHelper helper([&](DWORD thread) {
        const HWND first = WaitForDialog(thread);
        if (!first)
            return false;
        Sleep(300);
        if (!PressUntilGone(first, IDOK))
            return false;
        const HWND next = WaitForDialog(thread);
        if (!next)
            return false;
        return PressUntilGone(next, IDCANCEL);
    });
    EXPECT_TRUE(browser.Execute());
    EXPECT_EQ(browser.ResultPath(), "C:\\");
    EXPECT_FALSE(browser.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(browser.ResultPath(), "C:\\");
}
