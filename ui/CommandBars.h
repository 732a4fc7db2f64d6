// Command items that stand in several places at once (menu bar, toolbar, popup menus) with one
// caption, hint, picture and enabled state; enabling an item once shows everywhere.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "win/Handles.h"

namespace ui {

inline constexpr int kNoPicture = -1;

struct CommandItem {
    int id = 0;
    std::string caption;
    std::string hint;
    int picture = kNoPicture;
    bool enabled = true;
    std::function<void()> handler;
    // Shown after the caption in menus; the system gives the key itself (Alt+F4).
    std::string shortcut;
};

// One entry of a menu: a command, a separator (id 0 and no children) or a submenu.
struct MenuEntry {
    int id = 0;
    std::string caption;
    std::vector<MenuEntry> children;

    static MenuEntry Command(int id) { return {id, {}, {}}; }
    static MenuEntry Separator() { return {}; }
    static MenuEntry Submenu(std::string caption, std::vector<MenuEntry> children)
    {
        return {0, std::move(caption), std::move(children)};
    }
};

class CommandBars {
public:
    CommandBars() = default;
    CommandBars(const CommandBars&) = delete;
    CommandBars& operator=(const CommandBars&) = delete;

    void Add(CommandItem item);
    const CommandItem& Item(int id) const { return items_.at(id); }
    bool IsEnabled(int id) const { return items_.at(id).enabled; }
    void SetEnabled(int id, bool enabled);
    // Runs the item's handler when the item is enabled; answers whether id is an item.
    bool Execute(int id);

    // The places where items stand. The bars hold the menus they build.
    HMENU BuildMenuBar(const std::vector<MenuEntry>& entries);
    HMENU BuildPopup(const std::vector<MenuEntry>& entries);
    // ids with 0 for a separator; pictures from the image list.
    HWND BuildToolbar(HWND parent, int controlId, HIMAGELIST images, const std::vector<int>& ids);
    // New pictures for the toolbar (the same pictures at another size); the bar takes its new height.
    void SetImages(HIMAGELIST images);
    HMENU Popup(std::size_t index) const { return popups_.at(index).get(); }
    HMENU MenuBar() const { return menuBar_; }
    HWND Toolbar() const { return toolbar_; }

    // Answers the hint of the toolbar button a tooltip asks for.
    bool OnNotify(NMHDR& header);

private:
    void FillMenu(HMENU menu, const std::vector<MenuEntry>& entries);
    void ApplyEnabled(const CommandItem& item);

    std::map<int, CommandItem> items_;
    HMENU menuBar_ = nullptr;  // destroyed with the window it is attached to
    std::vector<win::UniqueHMenu> popups_;
    HWND toolbar_ = nullptr;
};

}  // namespace ui
