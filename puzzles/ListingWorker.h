// Lists the repository on a thread of its own, so that a window over a large folder shows at once
// and stays live: the lines are handed over on the window's thread once a posted message says
// they wait, and a failure is sent to the window, where the exception hook runs.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "puzzles/FolderListing.h"
#include "win/ExceptionHook.h"
#include "win/Handles.h"

namespace puzzles {

using FolderLister = std::function<FolderLines(const std::string& repository)>;

class ListingWorker {
public:
    ListingWorker() = default;
    ~ListingWorker() { Stop(); }
    ListingWorker(const ListingWorker&) = delete;
    ListingWorker& operator=(const ListingWorker&) = delete;

    // Starts listing the folder. `done` is posted to the window when the lines wait; `failed` is
    // sent with the caught exception (a const win::CaughtException* in its lParam).
    void Start(FolderLister lister, std::string repository, HWND window, UINT done, UINT failed);
    // Whether a listing was started and its lines are not yet taken.
    bool Running() const { return static_cast<bool>(thread_); }
    // The lines listed, once `done` has come; the worker has then ended.
    FolderLines Take();
    // Waits for the worker, serving the calling thread's messages meanwhile.
    void Stop();

private:
    static DWORD WINAPI ThreadStart(LPVOID parameter);

    FolderLister lister_;
    std::string repository_;
    HWND window_ = nullptr;
    UINT done_ = 0;
    UINT failed_ = 0;
    FolderLines listed_;
    win::UniqueHandle thread_;
};

}  // namespace puzzles
