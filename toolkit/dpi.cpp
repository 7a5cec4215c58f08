#include "toolkit/dpi.h"

namespace tk {
namespace {

// The per-screen calls arrived with Windows 10; older systems have only the system DPI.
template <typename Function>
Function UserCall(const char* name)
{
    static const HMODULE user = GetModuleHandleA("user32");
    return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

} // namespace

int ScaleToDpi(int length, int dpi)
{
    return MulDiv(length, dpi, DesignDpi);
}

Placement ScaleToDpi(const Placement& p, int dpi)
{
    return {ScaleToDpi(p.left, dpi), ScaleToDpi(p.top, dpi), ScaleToDpi(p.width, dpi), ScaleToDpi(p.height, dpi)};
}

int SystemDpi()
{
    using ForSystem = UINT(WINAPI*)();
    static const auto forSystem = UserCall<ForSystem>("GetDpiForSystem");
    if (forSystem)
        return static_cast<int>(forSystem());
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : DesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : DesignDpi;
}

int WindowDpi(HWND hwnd)
{
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = UserCall<ForWindow>("GetDpiForWindow");
    const UINT dpi = forWindow && hwnd ? forWindow(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

RECT FrameForClient(int width, int height, DWORD style, DWORD exStyle, bool menu, int dpi)
{
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = UserCall<AdjustForDpi>("AdjustWindowRectExForDpi");
    RECT r{0, 0, width, height};
    if (!adjustForDpi || !adjustForDpi(&r, style, menu, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, menu, exStyle);
    return r;
}

HFONT MakeStatusFontForDpi(int dpi)
{
    using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto parametersForDpi = UserCall<ParametersForDpi>("SystemParametersInfoForDpi");
    // Only the wide structure has a call per DPI; it carries a font, no text.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!parametersForDpi || !parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                               static_cast<UINT>(dpi)))
        return nullptr;
    return CreateFontIndirectW(&metrics.lfStatusFont);
}

} // namespace tk
