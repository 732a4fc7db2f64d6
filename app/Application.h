// Application-wide values: the title and the help file name.
#pragma once
#include <string>

namespace app {

inline constexpr const char* kTitle = "Gridlark";
inline constexpr const char* kHelpFileName = "gridlark.chm";

// The title shown by the task bar button and the notices.
std::string Title();
void SetTitle(const std::string& title);
// The help file's bare name; empty until the window road sets it.
std::string HelpFile();
void SetHelpFile(const std::string& name);

}  // namespace app
