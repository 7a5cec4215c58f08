#include "support/window_fixture.h"

#include "ui/event_wiring.h"

#include <vector>

void WindowTest::SetUp()
{
    AppTerminated = false;
    form_ = CreateMainForm(EventWiring());
    ASSERT_TRUE(form_);
    ++AppRunning;
    AppMainWindow = &form_->Window;
    ShowWindow(form_->Window.Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(form_->Window.Handle());
    Pump();
}

void WindowTest::TearDown()
{
    Pump(10);
    AppRunning = 0;
    AppMainWindow = nullptr;
    DestroyMainForm(form_);
    // A quit posted by a closing window must not leak into the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    AppTerminated = false;
}

void WindowTest::Pump(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        ProcessMessages();
        Sleep(1);
    } while (std::chrono::steady_clock::now() < end);
}

bool WindowTest::PumpUntil(const std::function<bool()>& condition, int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        ProcessMessages();
        Sleep(1);
    }
    return true;
}

void WindowTest::PressKey(UINT key, bool ctrl, bool shift)
{
    // The modifier state is what the routing reads, so set it as the keyboard would.
    BYTE state[256];
    GetKeyboardState(state);
    const BYTE saved[3] = {state[VK_CONTROL], state[VK_SHIFT], state[VK_MENU]};
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_MENU] = 0;
    SetKeyboardState(state);
    const HWND target = GetFocus();
    PostMessageA(target, WM_KEYDOWN, key, 1);
    ProcessMessages();
    PostMessageA(target ? target : GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    ProcessMessages();
    state[VK_CONTROL] = saved[0];
    state[VK_SHIFT] = saved[1];
    state[VK_MENU] = saved[2];
    SetKeyboardState(state);
}

ModalAnswerer::ModalAnswerer(std::string caption, int button, int timeoutMs, bool repeat)
    : caption_(std::move(caption)), button_(button), timeoutMs_(timeoutMs), repeat_(repeat)
{
    thread_ = std::thread([this] { Loop(); });
}

ModalAnswerer::~ModalAnswerer()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void ModalAnswerer::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

bool ModalAnswerer::Wait()
{
    if (thread_.joinable())
        thread_.join();
    return count_ > 0;
}

std::string TextWithoutMessages(HWND hwnd)
{
    wchar_t wide[4096] = {};
    const int n = InternalGetWindowText(hwnd, wide, 4096);
    char text[8192] = {};
    // UTF-8 whatever the process code page, so a name outside an ANSI code page reads whole.
    WideCharToMultiByte(CP_UTF8, 0, wide, n, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

namespace {

struct Search {
    DWORD process;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM param)
{
    auto& s = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == s.process && std::string(cls) == "#32770" && *s.caption == TextWithoutMessages(hwnd) &&
        IsWindowVisible(hwnd)) {
        s.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::string BoxText(HWND box)
{
    // The message text is the static control with identifier 0xFFFF.
    const HWND label = GetDlgItem(box, 0xFFFF);
    return label ? TextWithoutMessages(label) : std::string();
}

} // namespace

void ModalAnswerer::Loop()
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
    while (!stop_ && std::chrono::steady_clock::now() < end) {
        Search s{GetCurrentProcessId(), &caption_, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            text_ = BoxText(s.found);
            texts_.push_back(text_);
            ++count_;
            PostMessageA(s.found, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(s.found, button_)));
            if (!repeat_)
                return;
            // Wait for this box to go before looking for the next.
            for (int i = 0; i < 500 && IsWindow(s.found); ++i)
                Sleep(10);
        }
        Sleep(20);
    }
}

RECT ClientRectIn(const tk::Control& c, HWND parent)
{
    RECT r{};
    GetWindowRect(c.Handle(), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectPlacement(const tk::Control& c, HWND parent, int left, int top, int width, int height)
{
    const RECT r = ClientRectIn(c, parent);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
}
