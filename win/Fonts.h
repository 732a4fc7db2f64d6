// Fonts made by name and point size for the screen.
#pragma once
#include <windows.h>

namespace win {

HFONT CreatePointFont(const char* name, int points, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE);

}  // namespace win
