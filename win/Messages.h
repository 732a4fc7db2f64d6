// Message boxes whose text always fits on the monitor.
#pragma once
#include <windows.h>

#include <string>

namespace win {

// MessageBoxA, with every long run of characters without a blank (a long path) wrapped onto
// several lines: such a run would otherwise make the box wider than the screen.
int ShowMessage(HWND owner, const std::string& text, const char* caption, UINT flags);

}  // namespace win
