#include "app/MainCommands.h"

#include "app/Application.h"
#include "faults/FatalError.h"
#include "info/About.h"
#include "info/DownloadWindow.h"
#include "info/WebLinks.h"
#include "res/resource.h"

namespace {

// The keys that run a command without its menu, shown beside its caption.
const char* ShortcutText(int command)
{
    switch (command) {
        case IDM_PLAY:
            return "Enter";
        case IDM_DELETE:
            return "Del";
        case IDM_RENAME:
            return "F2";
        case IDM_EXIT:
            return "Alt+F4";
        case IDM_HELP:
            return "F1";
        default:
            return "";
    }
}

std::vector<ui::MenuEntry> OnTheWeb()
{
    using ui::MenuEntry;
    return {MenuEntry::Command(IDM_HOMEPAGE),       MenuEntry::Separator(),
            MenuEntry::Command(IDM_MORE_PUZZLES),   MenuEntry::Separator(),
            MenuEntry::Command(IDM_CHECKFORUPDATE), MenuEntry::Command(IDM_KNOWLEDGEBASE),
            MenuEntry::Command(IDM_SUPPORT)};
}

void AddCommands(ui::CommandBars& bars, HWND window, const MainCommandHandlers& h, const std::string& shortVersion)
{
    auto add = [&bars](int id, const char* caption, const char* hint, int picture, bool enabled,
                       std::function<void()> handler) {
        bars.Add({id, caption, hint, picture, enabled, std::move(handler), ShortcutText(id)});
    };
    add(IDM_PLAY, "&Play Puzzle", "Play Puzzle", 2, false, h.play);
    add(IDM_DELETE, "&Delete Puzzle", "Delete Puzzle", 3, false, h.remove);
    add(IDM_RENAME, "Rena&me", "Rename Puzzle", ui::kNoPicture, false, h.rename);
    add(IDM_SHOW_IN_FOLDER, "Show in &Folder", "Show in Folder", ui::kNoPicture, true, h.showInFolder);
    add(IDM_IMPORT, "&Import Puzzle(s)...", "Import Puzzle(s)", 6, true, h.import);
    add(IDM_EXIT, "E&xit", "Exit", ui::kNoPicture, true, h.exit);
    add(IDM_BUGREPORTER, "Configure &Bug Reporter...", "Configure Bug Reporter", ui::kNoPicture, true,
        [window] { faults::ConfigureBugReporter(app::kTitle, ProductPageAddress(), window); });
    add(IDM_PREFS, "&Preferences...", "Preferences", 5, true, h.preferences);
    add(IDM_HELP, "Gridlark &Help...", "Gridlark Help", 4, true, h.help);
    add(IDM_ABOUT, "&About...", "About", ui::kNoPicture, true, [window] { AboutBox().ShowModal(window); });
    add(IDM_HOMEPAGE, "&Home Page", "Home Page", ui::kNoPicture, true, &OpenHomePage);
    add(IDM_MORE_PUZZLES, "Download more puzzles", "Download more puzzles", ui::kNoPicture, true,
        [window] { DownloadWindow().ShowModal(window); });
    add(IDM_CHECKFORUPDATE, "Check For &Update", "Check For Update", ui::kNoPicture, true,
        [window, shortVersion] { OpenUpdatePage(window, shortVersion); });
    add(IDM_KNOWLEDGEBASE, "&Knowledgebase", "Knowledgebase", ui::kNoPicture, true, &OpenKnowledgebase);
    add(IDM_SUPPORT, "&Support", "Support", ui::kNoPicture, true, &OpenSupportPage);
}

}  // namespace

HMENU BuildMainCommands(ui::CommandBars& bars, HWND window, int toolbarId, HIMAGELIST pictures,
                        const MainCommandHandlers& handlers, const std::string& shortVersion)
{
    AddCommands(bars, window, handlers, shortVersion);
    using ui::MenuEntry;
    ::SetMenu(
        window,
        bars.BuildMenuBar(
            {MenuEntry::Submenu("&Puzzle", {MenuEntry::Command(IDM_PLAY), MenuEntry::Command(IDM_DELETE),
                                            MenuEntry::Command(IDM_RENAME), MenuEntry::Command(IDM_SHOW_IN_FOLDER),
                                            MenuEntry::Separator(), MenuEntry::Command(IDM_IMPORT),
                                            MenuEntry::Separator(), MenuEntry::Command(IDM_EXIT)}),
             MenuEntry::Submenu("&Options", {MenuEntry::Command(IDM_BUGREPORTER), MenuEntry::Command(IDM_PREFS)}),
             MenuEntry::Submenu("&Help", {MenuEntry::Command(IDM_HELP), MenuEntry::Separator(),
                                          MenuEntry::Submenu("&On The Web", OnTheWeb()), MenuEntry::Separator(),
                                          MenuEntry::Command(IDM_ABOUT)})}));
    HMENU popup = bars.BuildPopup({MenuEntry::Command(IDM_PLAY), MenuEntry::Command(IDM_DELETE),
                                   MenuEntry::Command(IDM_RENAME), MenuEntry::Command(IDM_SHOW_IN_FOLDER),
                                   MenuEntry::Separator(), MenuEntry::Command(IDM_IMPORT)});
    bars.BuildToolbar(window, toolbarId, pictures, {IDM_PLAY, IDM_DELETE, 0, IDM_IMPORT, 0, IDM_PREFS, 0, IDM_HELP});
    return popup;
}
