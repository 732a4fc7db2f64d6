#include "win/Dpi.h"

#include "win/LazyApi.h"

namespace win {

UINT WindowDpi(HWND window)
{
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn fn = LazyProc<Fn>("user32.dll", "GetDpiForWindow");
    if (fn != nullptr && window != nullptr) {
        if (const UINT dpi = fn(window); dpi != 0)
            return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

UINT MonitorDpi(const RECT& area)
{
    using Fn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const Fn fn = LazyProc<Fn>("shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (fn != nullptr && SUCCEEDED(fn(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y)) &&
        y != 0)
        return y;
    return WindowDpi(nullptr);
}

}  // namespace win
