#include "ui/CommandBars.h"

#include <iterator>

namespace ui {

void CommandBars::Add(CommandItem item)
{
    int id = item.id;
    items_[id] = std::move(item);
}

void CommandBars::SetEnabled(int id, bool enabled)
{
    auto& item = items_.at(id);
    item.enabled = enabled;
    ApplyEnabled(item);
}

void CommandBars::ApplyEnabled(const CommandItem& item)
{
    const UINT flags = MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED);
    if (menuBar_ != nullptr)
        ::EnableMenuItem(menuBar_, item.id, flags);
    for (const auto& popup : popups_)
        ::EnableMenuItem(popup.get(), item.id, flags);
    if (toolbar_ != nullptr)
        ::SendMessageA(toolbar_, TB_ENABLEBUTTON, item.id, MAKELONG(item.enabled ? TRUE : FALSE, 0));
}

bool CommandBars::Execute(int id)
{
    auto it = items_.find(id);
    if (it == items_.end())
        return false;
    if (it->second.enabled && it->second.handler)
        it->second.handler();
    return true;
}

void CommandBars::FillMenu(HMENU menu, const std::vector<MenuEntry>& entries)
{
    for (const auto& entry : entries) {
        if (!entry.children.empty()) {
            HMENU sub = ::CreatePopupMenu();
            FillMenu(sub, entry.children);
            ::AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), entry.caption.c_str());
        } else if (entry.id == 0) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            const auto& item = items_.at(entry.id);
            const std::string text = item.shortcut.empty() ? item.caption : item.caption + "\t" + item.shortcut;
            ::AppendMenuA(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.id, text.c_str());
        }
    }
}

HMENU CommandBars::BuildMenuBar(const std::vector<MenuEntry>& entries)
{
    menuBar_ = ::CreateMenu();
    FillMenu(menuBar_, entries);
    return menuBar_;
}

HMENU CommandBars::BuildPopup(const std::vector<MenuEntry>& entries)
{
    win::UniqueHMenu popup(::CreatePopupMenu());
    FillMenu(popup.get(), entries);
    popups_.push_back(std::move(popup));
    return popups_.back().get();
}

void CommandBars::SetImages(HIMAGELIST images)
{
    if (toolbar_ == nullptr)
        return;
    ::SendMessageA(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
}

HWND CommandBars::BuildToolbar(HWND parent, int controlId, HIMAGELIST images, const std::vector<int>& ids)
{
    toolbar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0,
                                 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    std::vector<TBBUTTON> buttons;
    for (int id : ids) {
        TBBUTTON b{};
        if (id == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            const auto& item = items_.at(id);
            b.iBitmap = item.picture;
            b.idCommand = id;
            b.fsState = item.enabled ? TBSTATE_ENABLED : 0;
            b.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(b);
    }
    ::SendMessageA(toolbar_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    return toolbar_;
}

bool CommandBars::OnNotify(NMHDR& header)
{
    if (header.code != TTN_GETDISPINFOA && header.code != TTN_GETDISPINFOW)
        return false;
    auto it = items_.find(static_cast<int>(header.idFrom));
    if (it == items_.end())
        return false;
    const std::string& hint = it->second.hint;
    if (header.code == TTN_GETDISPINFOA) {
        reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = const_cast<char*>(hint.c_str());
    } else {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        ::MultiByteToWideChar(CP_ACP, 0, hint.c_str(), -1, info.szText, static_cast<int>(std::size(info.szText)));
        info.lpszText = info.szText;
    }
    return true;
}

}  // namespace ui
