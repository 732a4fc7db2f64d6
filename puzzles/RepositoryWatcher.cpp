#include "puzzles/RepositoryWatcher.h"

#include <optional>

#include "win/MessagePump.h"
#include "win/Paths.h"

namespace puzzles {

namespace {

constexpr DWORD kWatchWaitMs = 500;
constexpr DWORD kBurstRestMs = 20;

// A notification of names made, removed or renamed in the folder itself; empty when it cannot be had.
HANDLE WatchNames(const std::string& folder)
{
    return ::FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
}

}  // namespace

RepositoryWatcher::RepositoryWatcher(Owner& owner, std::function<std::string()> repository)
    : owner_(owner), repository_(std::move(repository))
{
}

void RepositoryWatcher::Start()
{
    startFolder_ = repository_();
    startIdentity_ = win::IdentifyFolder(startFolder_);
    startNotification_.reset(WatchNames(startFolder_));
    stopWatching_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    keepWatching_ = true;
    thread_.reset(::CreateThread(nullptr, 0, &RepositoryWatcher::ThreadStart, this, 0, nullptr));
}

void RepositoryWatcher::Stop()
{
    if (!thread_)
        return;
    keepWatching_ = false;
    ::SetEvent(stopWatching_.get());
    HANDLE thread = thread_.get();
    std::optional<int> quit;
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT | QS_SENDMESSAGE) != WAIT_OBJECT_0)
        win::DispatchPending(quit);
    thread_.reset();
    win::RepostQuit(quit);
}

DWORD WINAPI RepositoryWatcher::ThreadStart(LPVOID parameter)
{
    auto* self = static_cast<RepositoryWatcher*>(parameter);
    try {
        self->Watch();
    } catch (...) {
        self->owner_.OnWatchFailed(win::CaughtException::Current());
    }
    return 0;
}

// A burst of changes while a request waits costs nothing more.
void RepositoryWatcher::RequestRefill()
{
    if (!refillRequested_.exchange(true))
        owner_.OnRefillWanted();
}

// The folder is compared with the setting and with its own identity on every pass: a new
// setting, a folder that went away, came back or was replaced under the same name all open a new
// notification and ask for a refill. Without a notification the pass waits the plain 500 ms.
void RepositoryWatcher::Watch()
{
    std::string watched = std::move(startFolder_);
    std::optional<win::FileIdentity> identity = startIdentity_;
    win::UniqueChangeNotification notification = std::move(startNotification_);
    bool fired = false;
    while (keepWatching_) {
        const std::string repository = repository_();
        const bool newPath = win::UpperCase(repository) != win::UpperCase(watched);
        // Looking at the folder's identity costs several calls into the file system: it is done on
        // the quiet passes, where a folder gone or replaced shows, not after every change.
        const bool look = newPath || !fired || !notification;
        const auto nowIdentity = look ? win::IdentifyFolder(repository) : identity;
        const bool changed = newPath || nowIdentity != identity;
        if (changed || (look && !notification)) {
            watched = repository;
            identity = nowIdentity;
            notification.reset();
            notification.reset(WatchNames(watched));
            // A folder that could not be watched before and can be now may have changed meanwhile.
            if (changed || notification)
                RequestRefill();
        }
        const HANDLE waits[] = {stopWatching_.get(), notification.get()};
        DWORD woken = ::WaitForMultipleObjects(notification ? 2 : 1, waits, FALSE, kWatchWaitMs);
        fired = woken == WAIT_OBJECT_0 + 1;
        if (fired) {
            RequestRefill();
            if (!::FindNextChangeNotification(notification.get()))
                notification.reset();
            // While a refill waits to be served, more changes need no wake of their own: a short
            // rest bounds the wakes during a burst (an import) and the refill still sees them all.
            if (refillRequested_)
                ::WaitForSingleObject(stopWatching_.get(), kBurstRestMs);
        }
    }
}

}  // namespace puzzles
