#include "app/WindowPlacement.h"

#include <vector>

#include "settings/Settings.h"
#include "win/Dpi.h"

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoA(monitor, &info)) {
        const RECT& w = info.rcWork;
        reinterpret_cast<std::vector<settings::Bounds>*>(areas)->push_back(
            {w.left, w.top, w.right - w.left, w.bottom - w.top});
    }
    return TRUE;
}

std::vector<settings::Bounds> MonitorWorkAreas()
{
    std::vector<settings::Bounds> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

}  // namespace

settings::Bounds RestoredBounds(const Settings& stored)
{
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const settings::Bounds usable = settings::WithUsableSize(
        {stored.MainWindowLeft, stored.MainWindowTop, stored.MainWindowWidth, stored.MainWindowHeight},
        stored.MainWindowDpi);
    settings::Bounds bounds = settings::ScreenFromWorkspace(usable, work.left, work.top);
    const RECT area{bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
    const UINT dpi = win::MonitorDpi(area);
    bounds.width = settings::ScaledToDpi(bounds.width, stored.MainWindowDpi, dpi);
    bounds.height = settings::ScaledToDpi(bounds.height, stored.MainWindowDpi, dpi);
    return settings::KeepOnScreen(bounds, MonitorWorkAreas());
}

void StorePlacement(Settings& settings, HWND window, UINT dpi)
{
    settings.MainWindowMaximized = ::IsZoomed(window) != FALSE;
    settings.MainWindowDpi = dpi;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window, &placement);
    const RECT& normal = placement.rcNormalPosition;
    settings.MainWindowLeft = normal.left;
    settings.MainWindowTop = normal.top;
    settings.MainWindowWidth = normal.right - normal.left;
    settings.MainWindowHeight = normal.bottom - normal.top;
}
