#include "ui/Dialog.h"

#include <algorithm>

#include "win/ExceptionHook.h"

namespace win {
namespace {

Dialog::HelpHandler helpHandler = nullptr;

}  // namespace

void Dialog::SetHelpHandler(HelpHandler handler) { helpHandler = handler; }

bool Dialog::ShowHelp() const
{
    if (helpTopic_ == nullptr || helpHandler == nullptr)
        return false;
    helpHandler(helpTopic_);
    ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
    return true;
}

Dialog::~Dialog()
{
    if (hwnd_ != nullptr && !modal_)
        ::DestroyWindow(hwnd_);
}

INT_PTR Dialog::ShowModal(HWND owner)
{
    modal_ = true;
    INT_PTR result = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner,
                                       &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    return result;
}

HWND Dialog::CreateModeless(HWND owner)
{
    modal_ = false;
    return ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, &Dialog::Procedure,
                                reinterpret_cast<LPARAM>(this));
}

std::string Dialog::ItemText(int id) const
{
    HWND item = Item(id);
    int length = ::GetWindowTextLengthA(item);
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    buffer.resize(static_cast<std::size_t>(::GetWindowTextA(item, buffer.data(), length + 1)));
    return buffer;
}

void Dialog::Close(INT_PTR result)
{
    if (modal_) {
        ::EndDialog(hwnd_, result);
    } else if (hwnd_ != nullptr) {
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

bool Dialog::StartAt(int id) const
{
    ::SetFocus(Item(id));
    return false;
}

void Dialog::RequestClose(INT_PTR result)
{
    if (CanClose(result))
        Close(result);
}

void Dialog::CenterOverOwner()
{
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    RECT dialog{}, over{};
    ::GetWindowRect(hwnd_, &dialog);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoA(::MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    if (owner == nullptr || !::GetWindowRect(owner, &over))
        over = monitor.rcWork;
    const RECT& work = monitor.rcWork;
    const int width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
    int left = over.left + (over.right - over.left - width) / 2;
    int top = over.top + (over.bottom - over.top - height) / 2;
    left = std::max(static_cast<int>(work.left), std::min(left, static_cast<int>(work.right) - width));
    top = std::max(static_cast<int>(work.top), std::min(top, static_cast<int>(work.bottom) - height));
    ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Dialog::OnCommand(int id, int, HWND)
{
    if (id == IDOK || id == IDCANCEL) {
        RequestClose(id);
        return true;
    }
    return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
    }
    if (self == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }
    return Guarded<INT_PTR>(FALSE, [&] { return self->Dispatch(message, wParam, lParam); });
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = FALSE;
    const bool handled = OnMessage(message, wParam, lParam, result);
    if (!handled) {
        switch (message) {
            case WM_INITDIALOG:
                return OnCreate() ? TRUE : FALSE;
            case WM_COMMAND:
                result = OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
                break;
            case WM_HELP:
                return ShowHelp() ? TRUE : FALSE;
            default:
                return FALSE;
        }
    }
    // A command or a notice may have disabled or hidden the control that had the focus.
    if (message == WM_COMMAND || message == WM_NOTIFY)
        KeepFocusOnAControl();
    return result;
}

// A disabled or hidden control keeps the focus but takes no key: Tab, Space and Enter would do
// nothing. The focus goes to the first control that Tab reaches, as when the dialog opened.
void Dialog::KeepFocusOnAControl()
{
    if (hwnd_ == nullptr || ::GetActiveWindow() != hwnd_ || !::IsWindowVisible(hwnd_))
        return;
    HWND focus = ::GetFocus();
    const bool hidden = (::GetWindowLongA(focus, GWL_STYLE) & WS_VISIBLE) == 0;
    const bool stranded =
        focus == nullptr || focus == hwnd_ || (::IsChild(hwnd_, focus) && (!::IsWindowEnabled(focus) || hidden));
    if (!stranded)
        return;
    if (HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE); first != nullptr && first != focus)
        ::SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

}  // namespace win
