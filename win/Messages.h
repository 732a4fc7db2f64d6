// Message boxes whose text always fits on the monitor.
#pragma once
#include <windows.h>

#include <string>

namespace win {

// MessageBoxA, with every long run of characters without a blank (a long path) wrapped onto
// several lines, and a line of thousands of characters shortened in its middle: such a run would
// make the box wider than the screen, and such a line taller.
int ShowMessage(HWND owner, const std::string& text, const char* caption, UINT flags);

}  // namespace win
