// One main window per user logon: the claim a starting program takes, and the hand-over by which a
// second start gives its collection files to the window that already runs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "win/Handles.h"

namespace app {

// The claim's name, in the logon session's own namespace; the installer looks for it too.
inline constexpr const char* kInstanceMutexName = "Local\\Orvanel.Gridlark";

// Held from before the main window exists until the process ends.
class InstanceClaim {
public:
    InstanceClaim();
    // False when another Gridlark of this logon held the claim first.
    bool First() const { return first_; }

private:
    win::UniqueHandle mutex_;
    bool first_ = true;
};

// Hands the files to this user's running main window, which comes to the front and opens them;
// waits a few seconds for a window that is still being created. False when none answered.
bool HandOverToRunningWindow(const std::vector<std::string>& files);

// Whether the window belongs to a process that runs as this process's user; false when that
// cannot be told.
bool OfSameUser(HWND window);

}  // namespace app
