// Where the main window opens and what of its place is kept: the stored bounds, measured at a
// stored DPI, brought back onto a monitor, and the normal bounds stored again at close.
#pragma once
#include <windows.h>

#include "core/ConfigRules.h"

class Settings;

// The bounds to open at, in screen coordinates. The stored bounds are workspace coordinates
// (closing reads them from the window's placement); a window that would show nowhere comes back
// onto a monitor, and its size keeps its points on a monitor of another DPI.
settings::Bounds RestoredBounds(const Settings& settings);
// The window's normal bounds, whatever its state now, its maximised state and the DPI they are
// measured at.
void StorePlacement(Settings& settings, HWND window, UINT dpi);
