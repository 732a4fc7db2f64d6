// The main window's puzzle list: the refill, the repository watcher and the list's handlers.
#include "app/Main.h"

#include <optional>

#include "app/Launcher.h"
#include "core/Text.h"
#include "res/resource.h"
#include "settings/Configs.h"
#include "win/ExceptionHook.h"
#include "win/MessagePump.h"
#include "win/Paths.h"

namespace {

constexpr DWORD kWatchWaitMs = 500;
constexpr DWORD kBurstRestMs = 20;
constexpr const char* kCrosswordExtension = ".JGF";
constexpr const char* kWordSearchExtension = ".JWF";
constexpr const char* kTypeTexts[] = {"Crossword", "Word Search"};

// The lines of the folder's puzzle files, in the order the file system gives them.
std::vector<PuzzleLine> ListPuzzleFiles(const std::string& repository)
{
    std::vector<PuzzleLine> lines;
    if (text::Trim(repository).empty())
        return lines;
    WIN32_FIND_DATAA entry;
    // Long names only, fetched in large batches: a folder of tens of thousands of files is listed
    // on every change, and short names are neither needed nor free to make.
    win::UniqueFindHandle find(::FindFirstFileExA((text::IncludeTrailingBackslash(repository) + "*.*").c_str(),
                                                  FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                                  FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return lines;
    do {
        const std::string name = entry.cFileName;
        const std::string extension = win::UpperCase(text::ExtractFileExt(name));
        if (extension == kCrosswordExtension || extension == kWordSearchExtension)
            lines.push_back({name.substr(0, name.size() - extension.size()),
                             extension == kCrosswordExtension ? PuzzleLine::Crossword : PuzzleLine::WordSearch});
    } while (::FindNextFileA(find.get(), &entry));
    return lines;
}

}  // namespace

void TMainWin::RefreshPuzzleList()
{
    win::CriticalSectionLock lock(FListLock);
    if (RefillProbe)
        RefillProbe();
    const std::string repository = Config->GetRepository();
    win::HourglassCursor hourglass;
    win::RedrawSuspended suspended(lvwPuzzles_);
    lines_.clear();
    ListView_SetItemCountEx(lvwPuzzles_, 0, 0);
    lines_ = ListPuzzleFiles(repository);
    ListView_SetItemCountEx(lvwPuzzles_, static_cast<int>(lines_.size()), 0);
    const std::string count = "Items: " + std::to_string(lines_.size());
    ::SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(count.c_str()));
    ::SendMessageA(statusBar_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(repository.c_str()));
    lvwPuzzlesSelectItem();
}

void TMainWin::lvwPuzzlesGetDispInfo(NMLVDISPINFOA& info) const
{
    LVITEMA& item = info.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= lines_.size())
        return;
    const PuzzleLine& line = lines_[static_cast<std::size_t>(item.iItem)];
    if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        const std::string& text = item.iSubItem == 0 ? line.Caption : std::string(kTypeTexts[line.KindTag]);
        ::lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = line.KindTag;
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(line.KindTag);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

std::string TMainWin::SelectedPuzzlePath() const
{
    int selected = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_SELECTED);
    if (selected < 0 || static_cast<std::size_t>(selected) >= lines_.size())
        return {};
    const PuzzleLine& line = lines_[static_cast<std::size_t>(selected)];
    return text::IncludeTrailingBackslash(Config->GetRepository()) + line.Caption +
           (line.KindTag == PuzzleLine::Crossword ? kCrosswordExtension : kWordSearchExtension);
}

void TMainWin::lvwPuzzlesSelectItem()
{
    const bool selected = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_SELECTED) >= 0;
    bars_.SetEnabled(IDM_PLAY, selected);
    bars_.SetEnabled(IDM_DELETE, selected);
}

void TMainWin::lvwPuzzlesDblClick()
{
    const std::string path = SelectedPuzzlePath();
    if (!path.empty())
        PlayPuzzle("\"" + path + "\"", hwnd_);
}

void TMainWin::lvwPuzzlesKeyDown(WORD key)
{
    if (key == VK_DELETE)
        dxDeleteClick();
}

void TMainWin::StartWatcher()
{
    stopWatching_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    FKeepWatching = true;
    FWatcherRunning = false;
    FWatcherThread.reset(::CreateThread(nullptr, 0, &TMainWin::WatcherThread, this, 0, nullptr));
}

// Stops the watcher and waits for it, serving its requests to the window meanwhile.
void TMainWin::StopWatcher()
{
    if (!FWatcherThread)
        return;
    FKeepWatching = false;
    ::SetEvent(stopWatching_.get());
    HANDLE thread = FWatcherThread.get();
    std::optional<int> quit;
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT | QS_SENDMESSAGE) != WAIT_OBJECT_0)
        win::DispatchPending(quit);
    FWatcherThread.reset();
    win::RepostQuit(quit);
}

DWORD WINAPI TMainWin::WatcherThread(LPVOID parameter)
{
    auto* self = static_cast<TMainWin*>(parameter);
    try {
        self->WatchRepository();
    } catch (...) {
        // The failure is told on the window's own thread, where the exception hook runs.
        const win::CaughtException caught = win::CaughtException::Current();
        ::SendMessageA(self->hwnd_, WM_WATCHER_FAILED, 0, reinterpret_cast<LPARAM>(&caught));
    }
    self->FWatcherRunning = false;
    return 0;
}

// Asks the window's thread for a refill. At most one request is pending: the window's thread
// clears the flag before it lists the folder, so a change during a refill asks for another one,
// and a burst of changes while a request waits costs nothing more. The request is posted, so no
// loop that only serves sent messages and paints (a long import's) runs a refill.
void TMainWin::RequestRefill()
{
    if (!refillRequested_.exchange(true))
        ::PostMessageA(hwnd_, WM_WATCHER_REFILL, 0, 0);
}

void TMainWin::ServeRefillRequest()
{
    refillRequested_ = false;
    RefreshPuzzleList();
}

// The folder is compared with the setting and with its own identity on every pass: a new
// setting, a folder that went away, came back or was replaced under the same name all open a new
// notification and ask for a refill. Without a notification the pass waits the plain 500 ms.
void TMainWin::WatchRepository()
{
    std::string watched;
    std::optional<FolderIdentity> identity;
    win::UniqueChangeNotification notification;
    bool fired = false;
    FWatcherRunning = true;
    while (FKeepWatching) {
        const std::string repository = Config->GetRepository();
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
            notification.reset(::FindFirstChangeNotificationA(watched.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
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
