// Application-wide values: the title and the help file name. The help access is given both at
// start (help::SetHelpFile, help::SetTitle).
#pragma once
#include <string>

namespace app {

inline constexpr const char* kTitle = "Gridlark";
inline constexpr const char* kHelpFileName = "gridlark.chm";

// The title shown by the task bar button and the notices.
std::string Title();
void SetTitle(const std::string& title);

}  // namespace app
