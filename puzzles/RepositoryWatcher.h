// Watches the repository folder on a thread of its own and tells its owner when the folder's files
// may have changed. The folder is read from the owner's setting on every pass, so a new setting,
// a folder that went away, came back or was replaced under the same name are all noticed.
#pragma once
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "win/ExceptionHook.h"
#include "win/FolderIds.h"
#include "win/Handles.h"

namespace puzzles {

class RepositoryWatcher {
public:
    // What the watcher tells, from its own thread.
    class Owner {
    public:
        // The folder's files may have changed. At most one request is outstanding: the next comes
        // only after the owner has called RefillStarting.
        virtual void OnRefillWanted() = 0;
        // The watcher failed and ends; the call returns once the failure has been handled.
        virtual void OnWatchFailed(const win::CaughtException& caught) = 0;

    protected:
        ~Owner() = default;
    };

    // repository: the folder to watch, asked for on every pass.
    RepositoryWatcher(Owner& owner, std::function<std::string()> repository);
    ~RepositoryWatcher() { Stop(); }
    RepositoryWatcher(const RepositoryWatcher&) = delete;
    RepositoryWatcher& operator=(const RepositoryWatcher&) = delete;

    // Starts watching the folder as it is now. The owner lists it after this returns: a change from
    // this moment on asks for a refill, and the folder as listed asks for none.
    void Start();
    // Stops the watcher and waits for it, serving the calling thread's messages meanwhile (the
    // watcher may be sending one to that thread's window).
    void Stop();
    // The owner starts a refill: a change from now on asks for another one.
    void RefillStarting() { refillRequested_ = false; }

private:
    static DWORD WINAPI ThreadStart(LPVOID parameter);
    void Watch();
    void RequestRefill();

    Owner& owner_;
    std::function<std::string()> repository_;
    std::atomic<bool> keepWatching_{false};
    std::atomic<bool> refillRequested_{false};
    win::UniqueHandle thread_;
    win::UniqueHandle stopWatching_;
    // The folder at the start, handed to the thread: its path, its identity and a notification
    // opened before the owner's listing.
    std::string startFolder_;
    std::optional<win::FileIdentity> startIdentity_;
    win::UniqueChangeNotification startNotification_;
};

}  // namespace puzzles
