// Prints the client area of the program's window, as "WIDTH HEIGHT": what the scenario on
// scaled screens measures from outside the program.
#include <windows.h>

#include <cstdio>

namespace {

template <typename Function>
Function UserCall(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32"), name)));
}

} // namespace

int main()
{
    // Aware itself, so the system reports real pixels, not ones scaled for a 96-DPI program.
    using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const auto set = UserCall<SetContext>("SetThreadDpiAwarenessContext"))
        set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const HWND window = FindWindowA("tk.Form", nullptr);
    RECT client{};
    if (!window || !GetClientRect(window, &client)) {
        std::fprintf(stderr, "window_probe: no program window\n");
        return 1;
    }
    std::printf("%ld %ld\n", client.right, client.bottom);
    return 0;
}
