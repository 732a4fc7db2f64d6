// The DPI a window is shown at, and lengths given for 96 DPI scaled to it. On a system without
// per-monitor DPI the system's DPI stands for every window.
#pragma once
#include <windows.h>

namespace win {

inline constexpr UINT kBaseDpi = 96;

UINT WindowDpi(HWND window);
// A length of 96 DPI at the given DPI, rounded to the nearest pixel.
inline int Scaled(int length, UINT dpi) { return ::MulDiv(length, static_cast<int>(dpi), kBaseDpi); }

}  // namespace win
