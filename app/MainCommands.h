// The main window's commands: one table of captions, hints, pictures and shortcuts that the menu
// bar, the toolbar and the list's popup all read.
#pragma once
#include <windows.h>

#include <functional>

#include "ui/CommandBars.h"

#include <string>

// The commands that act on the window's own state; the information and web commands need only
// the window, as the owner of what they open, and the program's short version.
struct MainCommandHandlers {
    std::function<void()> play, remove, rename, showInFolder, import, exit, preferences, help;
};

// Adds the commands to the bars and builds the window's menu bar and toolbar; answers the list's
// popup menu, which the bars hold.
HMENU BuildMainCommands(ui::CommandBars& bars, HWND window, int toolbarId, HIMAGELIST pictures,
                        const MainCommandHandlers& handlers, const std::string& shortVersion);
