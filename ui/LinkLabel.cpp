#include "ui/LinkLabel.h"

#include <commctrl.h>

#include <map>

#include "win/ExceptionHook.h"
#include "ui/Fonts.h"

namespace win {
namespace {

std::map<int, HCURSOR>& CursorTable()
{
    static std::map<int, HCURSOR> table;
    return table;
}

bool IsOpeningKey(WPARAM key) { return key == VK_RETURN || key == VK_SPACE; }

}  // namespace

void SetApplicationCursor(int index, HCURSOR cursor) { CursorTable()[index] = cursor; }

HCURSOR ApplicationCursor(int index)
{
    auto it = CursorTable().find(index);
    return it != CursorTable().end() ? it->second : nullptr;
}

LinkLabel::~LinkLabel()
{
    if (label_ != nullptr && ::IsWindow(label_))
        ::RemoveWindowSubclass(label_, &LinkLabel::Subclass, reinterpret_cast<UINT_PTR>(this));
}

void LinkLabel::Attach(HWND label)
{
    label_ = label;
    // A link is reached with Tab like a button, and opened with Enter or Space.
    ::SetWindowLongPtrA(label, GWL_STYLE, ::GetWindowLongPtrA(label, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);
    LOGFONTA lf{};
    auto current = reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0));
    if (current == nullptr)
        current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::GetObjectA(current, sizeof(lf), &lf);
    lf.lfUnderline = TRUE;
    font_.reset(::CreateFontIndirectA(&lf));
    ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    ::SetWindowSubclass(label, &LinkLabel::Subclass, reinterpret_cast<UINT_PTR>(this), 0);
    FitToText();
}

// Only the text itself is the link, not the empty rest of the line.
void LinkLabel::FitToText()
{
    char text[1024] = {};
    int length = ::GetWindowTextA(label_, text, sizeof(text));
    const SIZE extent =
        TextSizeIn(label_, font_.get(), std::string_view(text, static_cast<std::size_t>(length > 0 ? length : 0)));
    RECT bounds{};
    ::GetWindowRect(label_, &bounds);
    const int width = extent.cx + 2 < bounds.right - bounds.left ? extent.cx + 2 : bounds.right - bounds.left;
    ::SetWindowPos(label_, nullptr, 0, 0, width, bounds.bottom - bounds.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH LinkLabel::Paint(HWND control, HDC dc) const
{
    if (control != label_)
        return nullptr;
    ::SetTextColor(dc, TextColor());
    ::SetBkMode(dc, TRANSPARENT);
    return transparent_ ? static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)) : ::GetSysColorBrush(COLOR_BTNFACE);
}

void LinkLabel::MouseDown()
{
    pressed_ = true;
    ::InvalidateRect(label_, nullptr, TRUE);
}

void LinkLabel::MouseUp()
{
    pressed_ = false;
    ::InvalidateRect(label_, nullptr, TRUE);
}

void LinkLabel::Open() const
{
    HWND parent = ::GetParent(label_);
    const int id = ::GetDlgCtrlID(label_);
    ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(label_));
}

// Over the text, once the default painting is done; the rectangle shows the keyboard focus.
void LinkLabel::PaintFocus() const
{
    if (::GetFocus() != label_)
        return;
    RECT client{};
    ::GetClientRect(label_, &client);
    HDC dc = ::GetDC(label_);
    ::DrawFocusRect(dc, &client);
    ::ReleaseDC(label_, dc);
}

LRESULT CALLBACK LinkLabel::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    auto* self = reinterpret_cast<LinkLabel*>(id);
    return Guarded<LRESULT>(0, [&]() -> LRESULT {
        switch (message) {
            case WM_SETCURSOR: {
                // A "--play" start has no main window to enter the hand cursor: load it here then.
                HCURSOR hand = ApplicationCursor(kLinkCursorIndex);
                ::SetCursor(hand != nullptr ? hand : ::LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
                self->MouseDown();
                break;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP:
                self->MouseUp();
                break;
            case WM_GETDLGCODE: {
                // Enter opens the link instead of pressing the dialog's default button.
                const auto* msg = reinterpret_cast<const MSG*>(lParam);
                if (msg != nullptr && msg->message == WM_KEYDOWN && IsOpeningKey(msg->wParam))
                    return DLGC_WANTMESSAGE;
                break;
            }
            case WM_KEYDOWN:
                if (IsOpeningKey(wParam)) {
                    self->Open();
                    return 0;
                }
                break;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                ::InvalidateRect(hwnd, nullptr, TRUE);
                break;
            case WM_PAINT: {
                const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                self->PaintFocus();
                return result;
            }
            default:
                break;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    });
}

}  // namespace win
