// Serving a thread's messages while it waits for a worker: the worker's sent hand-offs, paints and
// input go on. A quit request met on the way is kept aside for the caller to post again once its
// wait is over, so that the message loop still sees it.
#pragma once
#include <windows.h>

#include <optional>

namespace win {

// Messages for the given dialog and its controls go through its keyboard handling (Tab, Enter,
// Esc), as its own message loop would do.
void DispatchPending(std::optional<int>& quit, HWND dialog = nullptr);
// Posts a kept quit request again.
void RepostQuit(const std::optional<int>& quit);
// Waits for a thread to end, serving the calling thread's messages meanwhile (the thread may be
// sending one to that thread's window); a quit request met on the way is posted again after.
void WaitServingMessages(HANDLE thread);

}  // namespace win
