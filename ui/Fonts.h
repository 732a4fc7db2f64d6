// Fonts made by name and point size for the screen.
#pragma once
#include <windows.h>

#include <string_view>

namespace win {

// At the given DPI; 0 stands for the screen's.
HFONT CreatePointFont(const char* name, int points, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE, UINT dpi = 0);
// The bold form of a window's font.
HFONT CreateBoldFontOf(HWND window);
// The size of the text in the font, measured on the device context or on the window's own.
SIZE TextSize(HDC dc, HFONT font, std::string_view text);
SIZE TextSizeIn(HWND window, HFONT font, std::string_view text);

}  // namespace win
