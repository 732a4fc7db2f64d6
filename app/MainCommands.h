// The main window's commands: one table of captions, hints, pictures and shortcuts that the menu
// bar, the toolbar and the list's popup all read.
#pragma once
#include <windows.h>

#include <functional>

#include "ui/CommandBars.h"

struct MainCommandHandlers {
    std::function<void()> play, remove, import, exit;
    std::function<void()> configureBugReporter, preferences;
    std::function<void()> help, about, homePage, morePuzzles, checkForUpdate, knowledgebase, support;
};

// Adds the commands to the bars and builds the window's menu bar and toolbar; answers the list's
// popup menu, which the bars hold.
HMENU BuildMainCommands(ui::CommandBars& bars, HWND window, int toolbarId, HIMAGELIST pictures,
                        const MainCommandHandlers& handlers);
