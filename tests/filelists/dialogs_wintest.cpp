// The dialog objects against the platform's real dialogs, answered by a helper thread that
// finds the dialog, types into it and presses its buttons.
#include "filelists/folder_browser.h"
#include "filelists/open_save_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD WaitLimitMs = 10000;

// A fresh folder with a few files, under the temporary folder, in its long form.
class ScratchFolder {
public:
    explicit ScratchFolder(std::initializer_list<const char*> files)
    {
        char base[MAX_PATH + 1];
        GetTempPathA(sizeof base, base);
        char longBase[MAX_PATH + 1];
        GetLongPathNameA(base, longBase, sizeof longBase);
        path_ = std::string(longBase) + "vorrin-dialogs-" + std::to_string(GetCurrentProcessId()) + "-" +
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

struct DialogSearch {
    std::string title; // empty: any title
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    // Read without sending a message: the dialog's thread may be waiting for this one.
    wchar_t wide[256] = L"";
    const int length = InternalGetWindowText(window, wide, 256);
    char title[512] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, length, title, sizeof title - 1, nullptr, nullptr);
    if (window != search.except && IsWindowVisible(window) && std::string(className) == "#32770" &&
        (search.title.empty() || search.title == title)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog of the thread, other than `except`; null when none appears in time.
HWND WaitForDialog(DWORD thread, const std::string& title = "", HWND except = nullptr)
{
    for (DWORD waited = 0; waited < WaitLimitMs; waited += 50) {
        DialogSearch search{title, except, nullptr};
        EnumThreadWindows(thread, MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

bool WaitUntilGone(HWND dialog)
{
    for (DWORD waited = 0; waited < WaitLimitMs; waited += 50) {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog))
            return true;
        Sleep(50);
    }
    return false;
}

void Press(HWND dialog, int button)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// The file name box: a combo box in some versions of the dialog, an edit in others.
HWND FileNameBox(HWND dialog)
{
    const HWND combo = GetDlgItem(dialog, cmb13);
    return combo ? combo : GetDlgItem(dialog, edt1);
}

std::string TextOf(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void TypeAndConfirm(HWND dialog, const std::string& name)
{
    SendMessageA(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Press(dialog, IDOK);
}

// Runs `answer` on a helper thread against the dialogs this thread is about to show. When
// the answer fails it keeps cancelling this thread's dialogs for a while, so no test hangs.
class DialogHelper {
public:
    explicit DialogHelper(std::function<bool(DWORD thread)> answer)
        : worker_([this, answer, thread = GetCurrentThreadId()] {
              answered_ = answer(thread);
              if (!answered_)
                  CancelEverything(thread);
          })
    {
    }
    ~DialogHelper() { Finish(); }
    bool Finish()
    {
        if (worker_.joinable())
            worker_.join();
        return answered_;
    }

private:
    static void CancelEverything(DWORD thread)
    {
        for (int round = 0; round < 40; ++round) {
            DialogSearch search{"", nullptr, nullptr};
            EnumThreadWindows(thread, MatchDialog, reinterpret_cast<LPARAM>(&search));
            if (search.found)
                Press(search.found, IDCANCEL);
            Sleep(100);
        }
    }

    bool answered_ = false;
    std::thread worker_;
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
        DialogHelper helper([&](DWORD thread) {
            const HWND box = WaitForDialog(thread, *dialog.Title);
            if (!box)
                return false;
            TypeAndConfirm(box, "a.txt");
            return WaitUntilGone(box);
        });
        EXPECT_TRUE(dialog.Execute());
        EXPECT_TRUE(helper.Finish());
    }
    EXPECT_EQ(dialog.FileName, folder.Join("a.txt"));

    {
        DialogHelper helper([&](DWORD thread) {
            const HWND box = WaitForDialog(thread, *dialog.Title);
            if (!box)
                return false;
            TypeAndConfirm(box, "\"a.txt\" \"b.txt\"");
            return WaitUntilGone(box);
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
        const HWND box = WaitForDialog(thread, *dialog.Title);
        if (!box)
            return false;
        TypeAndConfirm(box, "\"vorrin-root-a.txt\" \"vorrin-root-b.txt\"");
        return WaitUntilGone(box);
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
        Press(first, IDCANCEL);
        if (!WaitUntilGone(first))
            return false;
        const HWND next = WaitForDialog(thread, *dialog.Title);
        if (!next)
            return false;
        proposedNext = TextOf(FileNameBox(next));
        Press(next, IDCANCEL);
        return WaitUntilGone(next);
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
        Press(next, IDCANCEL);
        return WaitUntilGone(next);
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
        Press(question, IDNO);
        if (!WaitUntilGone(question))
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
    DialogHelper helper([&](DWORD thread) {
        const HWND box = WaitForDialog(thread, *dialog.Title);
        if (!box)
            return false;
        TypeAndConfirm(box, "queue");
        return WaitUntilGone(box);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(dialog.FileName, folder.Join("queue.flt"));
}

// Made before any dialog runs: the platform's shell may keep a folder's listing from its first
// look for the rest of the process, and would not find a folder made after that.
const ScratchFolder browseTarget{};

TEST(FolderBrowser, OpensAtTheInitialPathAndReturnsTheChosenFolder)
{
    FolderBrowser browser;
    browser.SetInitialPath(browseTarget.Path() + "\\");
    DialogHelper helper([&](DWORD thread) {
        const HWND box = WaitForDialog(thread);
        if (!box)
            return false;
        Sleep(300);
        Press(box, IDOK);
        return WaitUntilGone(box);
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
        Press(first, IDOK);
        if (!WaitUntilGone(first))
            return false;
        const HWND next = WaitForDialog(thread);
        if (!next)
            return false;
        Press(next, IDCANCEL);
        return WaitUntilGone(next);
    });
    EXPECT_TRUE(browser.Execute());
    EXPECT_EQ(browser.ResultPath(), "C:\\");
    EXPECT_FALSE(browser.Execute());
    EXPECT_TRUE(helper.Finish());
    EXPECT_EQ(browser.ResultPath(), "C:\\");
}
