// Fonts made by name and point size for the screen.
#pragma once
#include <windows.h>

namespace win {

HFONT CreatePointFont(const char* name, int points, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE);
// The bold form of a window's font.
HFONT CreateBoldFontOf(HWND window);

}  // namespace win
