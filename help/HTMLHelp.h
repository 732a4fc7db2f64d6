// Access to the HTML Help viewer: its library "hhctrl.ocx" is loaded once before the first topic
// is shown (by a "--play" start at once, by the main window on a thread of its own after its first
// paint) and released when the program ends; topics of "gridlark.chm" are shown through its
// entry "HtmlHelpA".
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

// Loads the library, unless it is loaded already.
void LoadHelpLibrary();
// Loads the library on a thread of its own; a topic asked for meanwhile waits for it.
void StartLoadingHelpLibrary();
// Waits for a load started on a thread of its own to end.
void WaitForHelpLibrary();
// Shows a topic of the help file ("Contents.htm", "Options_Menu"), or tells why it cannot.
void ShowHelpTopic(const std::string& topic);
// Waits for a load in progress, closes the last help window, gives the viewer 250 ms to finish,
// then releases the library.
void UnloadHelpLibrary();
void ShowHelpNotInstalled();

// Test seam: stands in for the viewer's library and its entry while set; the library counts as
// loaded.
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
void SetHtmlHelpEntryForTests(HtmlHelpFunction entry);
// Whether the library and its entry were found.
bool HelpLibraryLoaded();
