#include <gtest/gtest.h>

#include "core/ConfigRules.h"

using settings::Bounds;

namespace {

bool Same(const Bounds& a, const Bounds& b)
{
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

}  // namespace

TEST(Placement, StoredWorkspaceBoundsBecomeScreenBoundsByTheWorkAreaOrigin)
{
    struct Case {
        Bounds stored;
        std::int32_t left, top;
        Bounds screen;
    };
    const Case cases[] = {
        {{100, 50, 543, 395}, 0, 0, {100, 50, 543, 395}},            // taskbar at the bottom: the systems coincide
        {{100, 50, 543, 395}, 0, 40, {100, 90, 543, 395}},           // taskbar at the top
        {{100, 50, 543, 395}, 62, 0, {162, 50, 543, 395}},           // taskbar on the left
        {{2147483600, 0, 10, 10}, 100, 0, {2147483647, 0, 10, 10}},  // no overflow
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Same(settings::ScreenFromWorkspace(c.stored, c.left, c.top), c.screen)) << c.stored.left;
}

TEST(Placement, VisibleBoundsStayAndLostOnesComeBackOntoTheNearestWorkArea)
{
    const std::vector<Bounds> twoMonitors = {{0, 0, 1920, 1040}, {1920, 0, 1280, 984}};
    struct Case {
        const char* what;
        Bounds window;
        Bounds placed;
    };
    const Case cases[] = {
        {"inside", {100, 50, 543, 395}, {100, 50, 543, 395}},
        {"partly off the left edge", {-500, 50, 543, 395}, {-500, 50, 543, 395}},
        {"on the second monitor", {2000, 100, 543, 395}, {2000, 100, 543, 395}},
        {"far right and down", {30000, 30000, 543, 395}, {2657, 589, 543, 395}},
        {"the limits of 16 bits", {-32768, 32767, 543, 395}, {0, 645, 543, 395}},
        {"a monitor no longer there, above", {100, -2000, 543, 395}, {100, 0, 543, 395}},
        {"larger than any work area", {5000, 5000, 4000, 3000}, {1920, 0, 1280, 984}},
        {"the limits of 32 bits", {2147483647, -2147483647 - 1, 2147483647, 10}, {1920, 0, 1280, 10}},
        // Restored at a higher DPI than stored: no side longer than its monitor's work area.
        {"wider and taller than its monitor", {100, 50, 2400, 1500}, {0, 0, 1920, 1040}},
        {"taller than the second monitor", {2000, 100, 800, 1200}, {2000, 0, 800, 984}},
        {"mostly on the second monitor", {1800, 100, 1400, 500}, {1920, 100, 1280, 500}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Same(settings::KeepOnScreen(c.window, twoMonitors), c.placed)) << c.what;
}

TEST(Placement, AStoredSizeTooSmallToUseTakesTheDefaultSizeAtItsPlace)
{
    struct Case {
        Bounds stored;
        std::uint32_t dpi;
        Bounds usable;
    };
    const Case cases[] = {
        {{10, 20, 0, 0}, 96, {10, 20, 543, 395}},      {{10, 20, -1, -1}, 96, {10, 20, 543, 395}},
        {{10, 20, 600, 40}, 96, {10, 20, 543, 395}},   {{10, 20, 0, 0}, 144, {10, 20, 815, 593}},
        {{10, 20, 200, 150}, 96, {10, 20, 200, 150}},   // the least size itself is usable
        {{10, 20, 250, 200}, 144, {10, 20, 815, 593}},  // less than the least at 144 DPI
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Same(settings::WithUsableSize(c.stored, c.dpi), c.usable)) << c.stored.width << "@" << c.dpi;
}
