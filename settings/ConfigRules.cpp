#include "settings/ConfigRules.h"

namespace settings {

Bounds DefaultMainWindowBounds(const Bounds& workArea)
{
    return {(workArea.width - kDefaultWindowWidth) / 2 + workArea.left,
            (workArea.height - kDefaultWindowHeight) / 2 + workArea.top, kDefaultWindowWidth, kDefaultWindowHeight};
}

}  // namespace settings
