// Settings rules that need no registry.
#pragma once
#include <cstdint>

namespace settings {

struct Bounds {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

inline constexpr std::int32_t kDefaultWindowWidth = 543;
inline constexpr std::int32_t kDefaultWindowHeight = 395;

// The main window's first bounds: 543 x 395 centred in the work area, halves truncated toward zero.
Bounds DefaultMainWindowBounds(const Bounds& workArea);

}  // namespace settings
