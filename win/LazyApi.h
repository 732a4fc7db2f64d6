// Calls into system libraries that the program needs only on demand (the shell, the common
// dialogs, sounds). They are loaded at their first use instead of at start-up, which keeps the
// start fast and the working set small.
#pragma once
#include <windows.h>

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

namespace win {

HINSTANCE OpenWithShell(HWND owner, const char* operation, const char* file, const char* parameters, const char* folder,
                        int show);
int RunFileOperation(SHFILEOPSTRUCTA* operation);
BOOL ShowOpenFileDialog(OPENFILENAMEA* dialog);
BOOL PlaySystemSound(const char* sound, DWORD flags);
// timeBeginPeriod (begin) or timeEndPeriod; answers whether the call succeeded.
bool SetTimerResolution(UINT milliseconds, bool begin);

}  // namespace win
