#include "ui/Tooltip.h"

#include <commctrl.h>

namespace ui {

namespace {

TTTOOLINFOA ToolOf(HWND control)
{
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

}  // namespace

void Tooltip::Attach(HWND control)
{
    control_ = control;
    tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ::GetParent(control),
                                 nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (tooltip_ == nullptr)
        return;
    TTTOOLINFOA tool = ToolOf(control);
    tool.lpszText = const_cast<char*>(text_.c_str());
    ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltip::SetText(const std::string& text)
{
    text_ = text;
    if (tooltip_ == nullptr)
        return;
    TTTOOLINFOA tool = ToolOf(control_);
    tool.lpszText = const_cast<char*>(text_.c_str());
    ::SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace ui
