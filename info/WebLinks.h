// The web link suffix and the window helper that the web commands and information dialogs share.
#pragma once
#include <windows.h>

#include <string>

// The installer's file path as the installer recorded it: the machine key's "Install File", else
// the user key's; empty when neither holds text.
std::string ReadInstallFile();
// The referral suffix every web link of the program carries (but the Java download link).
std::string LinkReferralSuffix();
// Brings the window to the foreground even when the system's foreground lock would refuse; the
// lock's time-out is restored on every path.
bool BringToForeground(HWND window);
