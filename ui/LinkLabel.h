// A static control shown as a web link: blue and underlined, hand cursor, red while a mouse button
// is down on it. Reached with Tab, it shows a focus rectangle and opens with Enter or Space. Its
// owner dialog asks it for the text colour in WM_CTLCOLORSTATIC.
#pragma once
#include <windows.h>

#include "win/Handles.h"

namespace win {

// The application's cursor table: the main window enters the hand cursor for link labels.
inline constexpr int kLinkCursorIndex = 5;
void SetApplicationCursor(int index, HCURSOR cursor);
// Null when no cursor was entered at that index.
HCURSOR ApplicationCursor(int index);

class LinkLabel {
public:
    LinkLabel() = default;
    LinkLabel(const LinkLabel&) = delete;
    LinkLabel& operator=(const LinkLabel&) = delete;
    ~LinkLabel();

    // Takes over the label; its text must be set before.
    void Attach(HWND label);
    HWND Handle() const { return label_; }
    bool IsPressed() const { return pressed_; }
    COLORREF TextColor() const { return pressed_ ? RGB(255, 0, 0) : RGB(0, 0, 255); }
    // Answers the brush for WM_CTLCOLORSTATIC when the message is about this label, else null.
    HBRUSH Paint(HWND control, HDC dc) const;
    // Over a picture the label paints no background of its own.
    void SetTransparent(bool transparent) { transparent_ = transparent; }

    void MouseDown();
    void MouseUp();

private:
    void FitToText();
    // Tells the owner the link was clicked, as a mouse click does.
    void Open() const;
    void PaintFocus() const;
    static LRESULT CALLBACK Subclass(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HWND label_ = nullptr;
    UniqueHFont font_;
    bool pressed_ = false;
    bool transparent_ = false;
};

}  // namespace win
