// The registry key path that holds the program's settings and its installation record, below the
// machine root and the user root; the installer and the bug reporter know it too.
#pragma once

inline constexpr const char* ProductKeyPath = "Software\\Orvanel\\Gridlark";
