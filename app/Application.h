// Application-wide values: the title and the help file name, set on the window road.
#pragma once
#include <string>

namespace app {

inline constexpr const char* kTitle = "Gridlark";
inline constexpr const char* kHelpFileName = "gridlark.chm";

// The title shown by the task bar button and the notices; before the window road sets it, the
// program file's name without its extension.
std::string Title();
void SetTitle(const std::string& title);
std::string HelpFile();
void SetHelpFile(const std::string& name);

}  // namespace app
