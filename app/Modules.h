// The modules' start and end for the whole process: the help access loads the viewer's library at
// program start and releases it at the end; the fault reporting gathers its start-up values and
// takes over every unhandled failure.
#pragma once

namespace app {

void InitializeModules();
// Runs once, however the process ends: the main window's close, a "--play" start's
// ExitProcess and the crash report's end of process, where no static destructor runs.
void FinalizeModules();

}  // namespace app
