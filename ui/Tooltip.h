// A tooltip for one control of a window: the text shows while the pointer rests on the control.
#pragma once
#include <windows.h>

#include <string>

namespace ui {

class Tooltip {
public:
    Tooltip() = default;
    Tooltip(const Tooltip&) = delete;
    Tooltip& operator=(const Tooltip&) = delete;
    // The tooltip window is owned by the control's parent and goes with it.
    void Attach(HWND control);
    void SetText(const std::string& text);
    HWND Window() const { return tooltip_; }

private:
    HWND control_ = nullptr;
    HWND tooltip_ = nullptr;
    std::string text_;
};

}  // namespace ui
