#include "puzzles/RepositoryWatcher.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "puzzles/FolderListing.h"
#include "win/MessagePump.h"
#include "win/Paths.h"

namespace puzzles {

namespace {

constexpr DWORD kWatchWaitMs = 500;
// The owner is told no sooner than this after its last take: during a burst (an import) the
// changes gather into a few updates, while a lone change is told at once.
constexpr DWORD kLeastSpacingMs = 30;
// The steps of one file's writing (made, written, closed) are reported a moment apart: a short
// settle gathers them into one update.
constexpr DWORD kSettleMs = 5;
// Where only the plain notification is had, a burst wakes the watcher no more often than this.
constexpr DWORD kBurstRestMs = 20;

// A notification that only says names were made, removed or renamed in the folder itself; empty
// when it cannot be had.
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
    OpenWatch(startFolder_);
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
    const win::UniqueHandle thread = std::move(thread_);
    win::WaitServingMessages(thread.get());
    names_.Close();
    notification_.reset();
}

RepositoryWatcher::Changes RepositoryWatcher::TakeChanges()
{
    win::CriticalSectionLock lock(pending_);
    Changes changes{pendingFolder_, pendingRelist_, {}};
    if (!pendingRelist_) {
        changes.lines.reserve(pendingLines_.size());
        for (auto& [name, line] : pendingLines_)
            changes.lines.push_back(std::move(line));
    }
    pendingRelist_ = false;
    pendingLines_.clear();
    told_ = false;
    lastTaken_ = ::GetTickCount();
    return changes;
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

// The changed names where the file system reports them, else the plain notification.
void RepositoryWatcher::OpenWatch(const std::string& folder)
{
    names_.Close();
    notification_.reset();
    if (!names_.Open(folder))
        notification_.reset(WatchNames(folder));
}

void RepositoryWatcher::TellOwner()
{
    {
        win::CriticalSectionLock lock(pending_);
        if (told_ || (!pendingRelist_ && pendingLines_.empty()))
            return;
        told_ = true;
    }
    owner_.OnChangesWaiting();
}

void RepositoryWatcher::RequestRelist(const std::string& folder)
{
    {
        win::CriticalSectionLock lock(pending_);
        pendingFolder_ = folder;
        pendingRelist_ = true;
        pendingLines_.clear();
    }
    TellOwner();
}

void RepositoryWatcher::AddChanges(const std::string& folder, std::vector<LineChange> lines)
{
    if (lines.empty())
        return;
    DWORD wait = 0;
    {
        win::CriticalSectionLock lock(pending_);
        if (pendingFolder_ != folder) {
            pendingFolder_ = folder;
            pendingRelist_ = true;
        }
        if (!pendingRelist_)
            for (LineChange& line : lines)
                pendingLines_.insert_or_assign({line.folded, line.kind}, std::move(line));
        const DWORD since = ::GetTickCount() - lastTaken_;
        wait = told_ || since >= kLeastSpacingMs ? 0 : kLeastSpacingMs - since;
    }
    if (wait > 0)
        ::WaitForSingleObject(stopWatching_.get(), wait);
    TellOwner();
}

// Each name is looked up once per read, after the next read has started: a change meanwhile is
// read again and looked up again, so the last look always follows the last change.
void RepositoryWatcher::ReadNames(const std::string& folder)
{
    ::WaitForSingleObject(stopWatching_.get(), kSettleMs);
    std::vector<std::wstring> names;
    do {
        win::DirectoryChanges::Batch batch = names_.Take();
        if (batch.outcome != win::DirectoryChanges::Outcome::Names) {
            RequestRelist(folder);
            return;
        }
        names.insert(names.end(), std::make_move_iterator(batch.names.begin()),
                     std::make_move_iterator(batch.names.end()));
    } while (::WaitForSingleObject(names_.Event(), 0) == WAIT_OBJECT_0);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<LineChange> lines;
    for (const std::wstring& name : names)
        if (std::optional<LineChange> line = LookUpChangedName(folder, name))
            lines.push_back(std::move(*line));
    AddChanges(folder, std::move(lines));
}

// The folder is compared with the setting and with its own identity on every quiet pass: a new
// setting, a folder that went away, came back or was replaced under the same name all open a new
// watch and ask for a new listing. Without a watch the pass waits the plain 500 ms.
void RepositoryWatcher::Watch()
{
    std::string watched = std::move(startFolder_);
    std::optional<win::FileIdentity> identity = startIdentity_;
    {
        win::CriticalSectionLock lock(pending_);
        pendingFolder_ = watched;
    }
    bool fired = false;
    while (keepWatching_) {
        const std::string repository = repository_();
        const bool newPath = win::UpperCase(repository) != win::UpperCase(watched);
        // Looking at the folder's identity costs several calls into the file system: it is done on
        // the quiet passes, where a folder gone or replaced shows, not after every change.
        const bool look = newPath || !fired || !Watching();
        const auto nowIdentity = look ? win::IdentifyFolder(repository) : identity;
        const bool changed = newPath || nowIdentity != identity;
        if (changed || (look && !Watching())) {
            watched = repository;
            identity = nowIdentity;
            OpenWatch(watched);
            // A folder that could not be watched before and can be now may have changed meanwhile.
            if (changed || Watching())
                RequestRelist(watched);
        }
        const HANDLE waits[] = {stopWatching_.get(), names_.IsOpen() ? names_.Event() : notification_.get()};
        const DWORD woken = ::WaitForMultipleObjects(Watching() ? 2 : 1, waits, FALSE, kWatchWaitMs);
        fired = woken == WAIT_OBJECT_0 + 1;
        if (!fired || !keepWatching_)
            continue;
        if (names_.IsOpen()) {
            ReadNames(watched);
        } else {
            RequestRelist(watched);
            if (!::FindNextChangeNotification(notification_.get()))
                notification_.reset();
            ::WaitForSingleObject(stopWatching_.get(), kBurstRestMs);
        }
    }
}

}  // namespace puzzles
