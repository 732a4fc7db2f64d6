// Watches the repository folder on a thread of its own and tells its owner what changed: the lines
// of the files whose names the system reports changed, looked up as they are now, or that the
// folder must be listed anew. The folder is read from the owner's setting on every pass, so a new
// setting, a folder that went away, came back or was replaced under the same name are all noticed.
#pragma once
#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/PuzzleListModel.h"
#include "win/DirectoryChanges.h"
#include "win/ExceptionHook.h"
#include "win/FolderIds.h"
#include "win/Handles.h"

namespace puzzles {

class RepositoryWatcher {
public:
    // What the watcher tells, from its own thread.
    class Owner {
    public:
        // Changes wait to be taken. At most one call is outstanding: the next comes only after
        // the owner has taken them.
        virtual void OnChangesWaiting() = 0;
        // The watcher failed and ends; the call returns once the failure has been handled.
        virtual void OnWatchFailed(const win::CaughtException& caught) = 0;

    protected:
        ~Owner() = default;
    };

    // What changed in the folder since the last take.
    struct Changes {
        std::string folder;
        // The folder must be listed anew: it is new, it went away or came back, the system lost
        // changes, or it tells no names. The lines are then empty.
        bool relist = false;
        std::vector<LineChange> lines;
    };

    // repository: the folder to watch, asked for on every pass.
    RepositoryWatcher(Owner& owner, std::function<std::string()> repository);
    ~RepositoryWatcher() { Stop(); }
    RepositoryWatcher(const RepositoryWatcher&) = delete;
    RepositoryWatcher& operator=(const RepositoryWatcher&) = delete;

    // Starts watching the folder as it is now. The owner lists it after this returns: a change
    // from this moment on is told, and the folder as listed tells nothing.
    void Start();
    // Stops the watcher and waits for it, serving the calling thread's messages meanwhile (the
    // watcher may be sending one to that thread's window).
    void Stop();
    // The changes waiting, which from now on are the owner's; the next change is told anew.
    Changes TakeChanges();

private:
    static DWORD WINAPI ThreadStart(LPVOID parameter);
    void Watch();
    void OpenWatch(const std::string& folder);
    bool Watching() const { return names_.IsOpen() || notification_; }
    void ReadNames(const std::string& folder);
    void AddChanges(const std::string& folder, std::vector<LineChange> lines);
    void RequestRelist(const std::string& folder);
    void TellOwner();

    Owner& owner_;
    std::function<std::string()> repository_;
    std::atomic<bool> keepWatching_{false};
    win::UniqueHandle thread_;
    win::UniqueHandle stopWatching_;
    // The folder at the start, handed to the thread: its path and its identity. Its changes are
    // read from before the owner's listing.
    std::string startFolder_;
    std::optional<win::FileIdentity> startIdentity_;
    // The changed names, or where a file system tells none, only that something changed.
    win::DirectoryChanges names_;
    win::UniqueChangeNotification notification_;

    // The changes not yet taken, each name's latest; guarded, with whether the owner was told.
    win::CriticalSection pending_;
    std::string pendingFolder_;
    bool pendingRelist_ = false;
    std::map<std::pair<std::string, PuzzleLine::Kind>, LineChange> pendingLines_;
    bool told_ = false;
    DWORD lastTaken_ = 0;
};

}  // namespace puzzles
