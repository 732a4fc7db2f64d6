// Settings rules that need no registry.
#pragma once
#include <cstdint>
#include <vector>

namespace settings {

struct Bounds {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

inline constexpr std::int32_t kDefaultWindowWidth = 543;
inline constexpr std::int32_t kDefaultWindowHeight = 395;

inline constexpr std::uint32_t kBaseDpi = 96;

// The main window's first bounds: 543 x 395 at 96 DPI, in proportion at another DPI, centred in
// the work area, halves truncated toward zero.
Bounds DefaultMainWindowBounds(const Bounds& workArea, std::uint32_t dpi = kBaseDpi);

// The DPI the window's bounds and column widths were stored at: settings from before it was
// stored, and values no screen has, count as 96.
std::uint32_t StoredDpi(std::uint32_t stored);
// A length stored at one DPI for a screen of another, keeping its size in points; rounded.
std::int32_t ScaledToDpi(std::int32_t length, std::uint32_t from, std::uint32_t to);

// The stored bounds are the window's normal bounds in workspace coordinates, which differ from
// screen coordinates by the origin of the primary monitor's work area (a taskbar at the top or
// on the left moves it).
Bounds ScreenFromWorkspace(const Bounds& stored, std::int32_t workAreaLeft, std::int32_t workAreaTop);

// Bounds that are at least partly on some work area keep their place on the monitor they share
// most with, but no side is longer than its work area: such a side is cut to the area and starts
// at its edge. Others (a monitor gone, values nobody can see) go onto the nearest work area,
// keeping their size where it fits.
Bounds KeepOnScreen(const Bounds& bounds, const std::vector<Bounds>& workAreas);

// The least size at 96 DPI at which the main window still shows its bars and a few lines.
inline constexpr std::int32_t kLeastWindowWidth = 200;
inline constexpr std::int32_t kLeastWindowHeight = 150;
// Stored bounds at dpi whose size is below the least (0, negative, a sliver) take the default
// size at their place: such a window would show only its title bar.
Bounds WithUsableSize(const Bounds& bounds, std::uint32_t dpi);

}  // namespace settings
