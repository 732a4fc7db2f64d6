// The web links of the program: the referral suffix they carry, the vendor's pages the web commands
// open, and the window helper the information dialogs share.
#pragma once
#include <windows.h>

#include <string>

// The installer's file path as the installer recorded it: the machine key's "Install File", else
// the user key's; empty when neither holds text.
std::string ReadInstallFile();
// The referral suffix every web link of the program carries (but the Java download link).
std::string LinkReferralSuffix();
// The vendor's pages that the main window's web commands open, with the referral suffix and
// without a parent window.
void OpenHomePage();
void OpenKnowledgebase();
void OpenSupportPage();
// The update check's page for the program's short version.
void OpenUpdatePage(HWND owner, const std::string& shortVersion);
// The product's page on the vendor's site, without the referral suffix.
std::string ProductPageAddress();
// Brings the window to the foreground even when the system's foreground lock would refuse; the
// lock's time-out is restored on every path.
bool BringToForeground(HWND window);
