#include "app/Main.h"

#include <utility>

#include "app/Application.h"
#include "settings/Configs.h"
#include "win/ExceptionHook.h"

TMainWin* MainWin = nullptr;

namespace {

void RegisterMainWindowClass()
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
    wc.hIconSm = static_cast<HICON>(::LoadImageA(wc.hInstance, "MAINICON", IMAGE_ICON, 16, 16, 0));
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = TMainWin::kClassName;
    ::RegisterClassExA(&wc);
}

}  // namespace

TMainWin::~TMainWin()
{
    if (hwnd_ != nullptr)
        ::DestroyWindow(hwnd_);
}

bool TMainWin::Create()
{
    static const bool registered = (RegisterMainWindowClass(), true);
    (void)registered;
    hwnd_ = ::CreateWindowExA(0, kClassName, app::kTitle, WS_OVERLAPPEDWINDOW, Config->MainWindowLeft,
                              Config->MainWindowTop, Config->MainWindowWidth, Config->MainWindowHeight, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    if (hwnd_ == nullptr)
        return false;
    ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TMainWin::Procedure));
    FormCreate();
    return true;
}

void TMainWin::Show(int showCommand)
{
    ::ShowWindow(hwnd_, showCommand);
    ::UpdateWindow(hwnd_);
}

void TMainWin::FormCreate() {}

void TMainWin::FormClose() {}

LRESULT CALLBACK TMainWin::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TMainWin*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return win::Guarded<LRESULT>(0, [&] { return self->Dispatch(message, wParam, lParam); });
}

LRESULT TMainWin::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        FormClose();
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_NCDESTROY: {
        HWND hwnd = std::exchange(hwnd_, nullptr);
        ::PostQuitMessage(0);
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    default:
        return ::DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}
