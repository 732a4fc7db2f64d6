#include "ui/Panel.h"

#include "win/ExceptionHook.h"

namespace win {
namespace {

constexpr const char* kPanelClass = "GridlarkPanel";

LRESULT CALLBACK PanelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_NOTIFY:
        case WM_COMMAND:
        case WM_CONTEXTMENU:
            return ::SendMessageA(::GetParent(hwnd), message, wParam, lParam);
        default:
            return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void RegisterPanelClass()
{
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = PanelProcedure;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kPanelClass;
        return ::RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

HWND CreatePanel(HWND parent, int controlId, bool sunken)
{
    RegisterPanelClass();
    return ::CreateWindowExA(
        sunken ? WS_EX_CLIENTEDGE : 0, kPanelClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), ::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace win
