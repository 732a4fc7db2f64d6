// Access to the HTML Help viewer: its library "hhctrl.ocx" is loaded when the program starts and
// released when it ends; topics of "gridlark.chm" are shown through its entry "HtmlHelpA".
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace help {
// The help file's bare name, which the program hands over before its main window opens; empty until then.
void SetHelpFile(const std::string& name);
// The program's title, which the message about a missing viewer names.
void SetTitle(const std::string& title);
}  // namespace help

void LoadHelpLibrary();
// Shows a topic of the help file ("Contents.htm", "Options_Menu"), or tells why it cannot.
void ShowHelpTopic(const std::string& topic);
// Closes the last help window, gives the viewer 250 ms to finish, then releases the library.
void UnloadHelpLibrary();
void ShowHelpNotInstalled();

// Test seam: stands in for the viewer's library and its entry while set; the library counts as
// loaded.
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
void SetHtmlHelpEntryForTests(HtmlHelpFunction entry);
// Whether the library and its entry were found.
bool HelpLibraryLoaded();
