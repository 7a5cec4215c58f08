#pragma once
// The window is designed at 96 DPI; every length of its layout is that value scaled to the
// DPI of the screen the window is on, by the one rounding of ScaleToDpi.
#include "toolkit/control.h"

namespace tk {

constexpr int DesignDpi = 96;

// Rounded to the nearest pixel, halves away from zero: at 96 DPI every length is unchanged.
int ScaleToDpi(int length, int dpi);
Placement ScaleToDpi(const Placement& p, int dpi);

// The DPI the system gives the window (per screen where it can), else the system's.
int WindowDpi(HWND hwnd);
int SystemDpi();

// The frame for a client area of this size at this DPI (the call of that DPI where there is one).
RECT FrameForClient(int width, int height, DWORD style, DWORD exStyle, bool menu, int dpi);

// The system's status font (the tooltips') at this DPI; null where the system has no such call.
HFONT MakeStatusFontForDpi(int dpi);

} // namespace tk
