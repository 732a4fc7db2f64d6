// A plain panel window that frames child controls and passes their notifications to its parent.
#pragma once
#include <windows.h>

namespace win {

// Creates a panel; sunken gives it the sunken bevel of a client edge.
HWND CreatePanel(HWND parent, int controlId, bool sunken);

}  // namespace win
