#include "win/Dpi.h"

namespace win {

UINT WindowDpi(HWND window)
{
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (fn != nullptr && window != nullptr) {
        if (const UINT dpi = fn(window); dpi != 0)
            return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace win
