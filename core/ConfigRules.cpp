#include "core/ConfigRules.h"

#include <algorithm>
#include <limits>

namespace settings {

Bounds DefaultMainWindowBounds(const Bounds& workArea, std::uint32_t dpi)
{
    const std::int32_t width = ScaledToDpi(kDefaultWindowWidth, kBaseDpi, dpi);
    const std::int32_t height = ScaledToDpi(kDefaultWindowHeight, kBaseDpi, dpi);
    return {(workArea.width - width) / 2 + workArea.left, (workArea.height - height) / 2 + workArea.top, width, height};
}

std::uint32_t StoredDpi(std::uint32_t stored)
{
    constexpr std::uint32_t kLeast = 48, kMost = 960;
    return stored >= kLeast && stored <= kMost ? stored : kBaseDpi;
}

std::int32_t ScaledToDpi(std::int32_t length, std::uint32_t from, std::uint32_t to)
{
    if (from == 0 || from == to)
        return length;
    const std::int64_t scaled =
        (static_cast<std::int64_t>(length) * to * 2 + (length < 0 ? -1 : 1) * std::int64_t{from}) /
        (2 * std::int64_t{from});
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(scaled, INT32_MIN, INT32_MAX));
}

namespace {

// Edges in 64 bits: stored values near the limits of 32 bits must not overflow.
struct Edges {
    std::int64_t left, top, right, bottom;
};

Edges EdgesOf(const Bounds& b)
{
    return {b.left, b.top, std::int64_t{b.left} + b.width, std::int64_t{b.top} + b.height};
}

// How much of the two rectangles is common, in square pixels: 0 when they do not overlap.
std::int64_t SharedArea(const Edges& a, const Edges& b)
{
    const std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// A window on its monitor keeps its place; only a side longer than the work area is cut to it,
// and then starts at the area's edge.
Bounds ShrunkToFit(const Bounds& bounds, const Bounds& area)
{
    Bounds fitted = bounds;
    if (bounds.width > area.width) {
        fitted.width = area.width;
        fitted.left = area.left;
    }
    if (bounds.height > area.height) {
        fitted.height = area.height;
        fitted.top = area.top;
    }
    return fitted;
}

// How far apart two rectangles are, squared: 0 when they touch or overlap.
double Gap(const Edges& a, const Edges& b)
{
    const auto dx = static_cast<double>(std::max({std::int64_t{0}, b.left - a.right, a.left - b.right}));
    const auto dy = static_cast<double>(std::max({std::int64_t{0}, b.top - a.bottom, a.top - b.bottom}));
    return dx * dx + dy * dy;
}

std::int32_t Clamp32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

Bounds ScreenFromWorkspace(const Bounds& stored, std::int32_t workAreaLeft, std::int32_t workAreaTop)
{
    return {Clamp32(std::int64_t{stored.left} + workAreaLeft), Clamp32(std::int64_t{stored.top} + workAreaTop),
            stored.width, stored.height};
}

Bounds KeepOnScreen(const Bounds& bounds, const std::vector<Bounds>& workAreas)
{
    if (workAreas.empty())
        return bounds;
    const Edges window = EdgesOf(bounds);
    const Bounds* nearest = &workAreas.front();
    const Bounds* most = nullptr;
    std::int64_t mostShared = 0;
    for (const auto& area : workAreas) {
        if (const std::int64_t shared = SharedArea(window, EdgesOf(area)); shared > mostShared) {
            most = &area;
            mostShared = shared;
        }
        if (Gap(window, EdgesOf(area)) < Gap(window, EdgesOf(*nearest)))
            nearest = &area;
    }
    if (most != nullptr)
        return ShrunkToFit(bounds, *most);
    const Edges area = EdgesOf(*nearest);
    const std::int32_t width = std::clamp(bounds.width, 1, nearest->width);
    const std::int32_t height = std::clamp(bounds.height, 1, nearest->height);
    return {Clamp32(std::clamp<std::int64_t>(window.left, area.left, area.right - width)),
            Clamp32(std::clamp<std::int64_t>(window.top, area.top, area.bottom - height)), width, height};
}

Bounds WithUsableSize(const Bounds& bounds, std::uint32_t dpi)
{
    if (bounds.width >= ScaledToDpi(kLeastWindowWidth, kBaseDpi, dpi) &&
        bounds.height >= ScaledToDpi(kLeastWindowHeight, kBaseDpi, dpi))
        return bounds;
    return {bounds.left, bounds.top, ScaledToDpi(kDefaultWindowWidth, kBaseDpi, dpi),
            ScaledToDpi(kDefaultWindowHeight, kBaseDpi, dpi)};
}

}  // namespace settings
