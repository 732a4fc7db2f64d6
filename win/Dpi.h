// The DPI a window is shown at, and lengths given for 96 DPI scaled to it. On a system without
// per-monitor DPI the system's DPI stands for every window.
#pragma once
#include <windows.h>

namespace win {

inline constexpr UINT kBaseDpi = 96;

// The window's DPI; for no window, the system's.
UINT WindowDpi(HWND window);
// The DPI of the monitor that shows most of the rectangle.
UINT MonitorDpi(const RECT& area);
// A length of 96 DPI at the given DPI, rounded to the nearest pixel.
inline int Scaled(int length, UINT dpi) { return ::MulDiv(length, static_cast<int>(dpi), kBaseDpi); }
// The side of the toolbar's and the list's pictures: the largest drawn size (16, 24 or 32) that
// 16 pixels at 96 DPI reach at this DPI.
inline int PictureSize(UINT dpi)
{
    const int wanted = Scaled(16, dpi);
    return wanted >= 32 ? 32 : wanted >= 24 ? 24 : 16;
}

}  // namespace win
