// Work that runs on a thread of its own and touches no window (a clean-up after start).
#pragma once
#include <functional>

#include "win/Handles.h"

namespace win {

// Starts the work on a new thread; the handle owns the thread and is signalled when the work is
// done. Nothing the work throws leaves its thread. An empty handle when no thread could be made:
// the work then has not run.
UniqueHandle StartBackgroundWork(std::function<void()> work);

// Waits for the work started by StartBackgroundWork, then lets its handle go.
void FinishBackgroundWork(UniqueHandle& thread);

}  // namespace win
