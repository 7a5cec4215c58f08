#pragma once
// The queue against the real main window and real files in a fresh folder. Runs are driven
// by calling StartRun or AddFiles; a test interferes mid-run by actions that run in the
// coding job's pump: right after the caption shows a given percentage, or a while later
// (while the job waits paused).
#include "engine/file_coding_job.h"
#include "queue/processing_run.h"
#include "queue/task_list.h"
#include "support/test_files.h"
#include "support/window_fixture.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>


// Five MiB: the job pumps at block 0 (caption "0% ...") and block 256 ("80% ...").
inline constexpr std::size_t FiveMiB = 5u << 20;

// The keystream applied the plain way, from the coder value.
inline Bytes Coded(Bytes data, CoderValue value)
{
    return PlainCoded(std::move(data), static_cast<CoderState>(value));
}

// All marks, top to bottom.
inline std::vector<std::string> Marks()
{
    std::vector<std::string> marks;
    for (int i = 0; i < RowCount(); ++i)
        marks.push_back(RowMark(i));
    return marks;
}

inline std::vector<std::string> Paths()
{
    std::vector<std::string> paths;
    for (int i = 0; i < RowCount(); ++i)
        paths.push_back(RowPath(i));
    return paths;
}

// A button press as the user makes it: the button's own click handling runs.
inline void Click(const tk::Control& button)
{
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
}

class QueueTest : public WindowTest {
protected:
    void SetUp() override
    {
        ExitRequested = false;
        StopRequested = false;
        RescanRequested = false;
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        MakeFolder();
        MakeActionWindow();
        // Watch the caption as the job sets it; whatever hook the window has keeps working.
        auto previous = Form().Window.messageHook;
        Form().Window.messageHook = [this, previous](MSG& m) {
            if (m.message == WM_SETTEXT && m.hwnd == Form().Window.Handle() && m.lParam)
                CaptionChanged(reinterpret_cast<const char*>(m.lParam));
            return previous ? previous(m) : false;
        };
    }

    void TearDown() override
    {
        if (actionWindow_)
            DestroyWindow(actionWindow_);
        WindowTest::TearDown();
        if (!folder_.empty())
            RemoveTree(folder_);
        ExitRequested = false;
        StopRequested = false;
        RescanRequested = false;
    }

    // A file of `size` pattern bytes in the test's folder; returns its full path.
    std::string MakeFile(const std::string& name, std::size_t size, std::uint32_t seed = 1)
    {
        const std::string path = folder_ + name;
        WriteAll(path, Pattern(size, seed));
        return path;
    }

    // The same file appended to the list as a row with that mark.
    std::string MakeQueuedFile(const std::string& name, std::size_t size, std::uint32_t seed = 1,
                               const std::string& mark = "")
    {
        const std::string path = MakeFile(name, size, seed);
        AppendRow(path);
        if (!mark.empty())
            SetRowMark(RowCount() - 1, mark);
        return path;
    }

    // Runs `action` in the pump that follows the caption's change to a text starting with
    // `prefix` (the job sets the caption just before it processes messages).
    void AtCaption(const std::string& prefix, std::function<void()> action)
    {
        watches_.push_back({prefix, std::move(action)});
    }

    // Runs `action` in a pump at least `ms` milliseconds from now (a paused job pumps all
    // the time; a running one only every 256 blocks).
    void Later(int ms, std::function<void()> action)
    {
        const UINT_PTR id = ++lastId_;
        actions_[id] = std::move(action);
        SetTimer(actionWindow_, id, static_cast<UINT>(ms), nullptr);
    }

    // Whether a WM_CLOSE for the main window waits in the queue.
    bool ClosePosted() const
    {
        MSG m;
        return PeekMessageA(&m, form_->Window.Handle(), WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != 0;
    }

    // The list gets the keyboard focus with the shortcut table on the window, as the list's
    // focus handler arranges.
    void FocusListWithShortcuts()
    {
        Form().TaskListView.Focus();
        Pump(10);
        if (!Form().Window.Accelerators())
            Form().Window.SetAccelerators(std::move(SavedAccelerators));
    }

    void FocusEditWithoutShortcuts(tk::Control& edit)
    {
        edit.Focus();
        Pump(10);
        if (Form().Window.Accelerators())
            SavedAccelerators = Form().Window.TakeAccelerators();
    }

    std::string folder_;
    std::vector<std::string> seenCaptions_;

private:
    struct Watch {
        std::string prefix;
        std::function<void()> action;
    };

    void MakeFolder()
    {
        char base[MAX_PATH + 1];
        GetTempPathA(sizeof base, base);
        char longBase[MAX_PATH + 1];
        GetLongPathNameA(base, longBase, sizeof longBase);
        static int counter = 0;
        folder_ = std::string(longBase) + "vorrin-queue-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(++counter) + "\\";
        RemoveTree(folder_);
        CreateDirectoryA(folder_.c_str(), nullptr);
    }

    void MakeActionWindow()
    {
        static const char* const className = "VorrinQueueTestActions";
        WNDCLASSA wc{};
        wc.lpfnWndProc = ActionProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc); // fails harmlessly once registered
        actionWindow_ = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(actionWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    void CaptionChanged(const std::string& caption)
    {
        seenCaptions_.push_back(caption);
        for (auto it = watches_.begin(); it != watches_.end(); ++it) {
            if (caption.rfind(it->prefix, 0) == 0) {
                const UINT_PTR id = ++lastId_;
                actions_[id] = std::move(it->action);
                watches_.erase(it);
                PostMessageA(actionWindow_, WM_APP, id, 0);
                return;
            }
        }
    }

    void RunAction(UINT_PTR id)
    {
        const auto it = actions_.find(id);
        if (it == actions_.end())
            return;
        const std::function<void()> action = std::move(it->second);
        actions_.erase(it);
        action();
    }

    static LRESULT CALLBACK ActionProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<QueueTest*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && (msg == WM_APP || msg == WM_TIMER)) {
            if (msg == WM_TIMER)
                KillTimer(hwnd, wParam);
            self->RunAction(wParam);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    HWND actionWindow_ = nullptr;
    std::vector<Watch> watches_;
    std::map<UINT_PTR, std::function<void()>> actions_;
    UINT_PTR lastId_ = 0;
};
