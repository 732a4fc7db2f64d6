// The main window's puzzle list: the refill, the repository watcher and the list's handlers.
#include "app/MainWindow.h"

#include <algorithm>
#include <optional>

#include "app/Launcher.h"
#include "core/Text.h"
#include "res/resource.h"
#include "settings/Configs.h"
#include "win/ExceptionHook.h"
#include "win/Dpi.h"
#include "ui/Fonts.h"
#include "win/MessagePump.h"
#include "win/Paths.h"

namespace {

constexpr DWORD kWatchWaitMs = 500;
constexpr DWORD kBurstRestMs = 20;
constexpr const char* kCrosswordExtension = ".JGF";
constexpr const char* kWordSearchExtension = ".JWF";
constexpr const char* kTypeTexts[] = {"Crossword", "Word Search"};

constexpr const char* kNoMatch = "No puzzle name contains the search text.";
constexpr const char* kEmptyLibrary =
    "Your library has no puzzles yet. To add some, import a collection with Puzzle | Import Puzzle(s)... "
    "(Alt+P, I), or drop collection files on this window.";
constexpr const char* kEmptyLibraryFolder = "Your puzzles are kept in the folder ";
constexpr int kCountPadding = 12;

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
        std::string folded = win::UpperCase(name);
        const std::string extension = text::ExtractFileExt(folded);
        if (extension != kCrosswordExtension && extension != kWordSearchExtension)
            continue;
        folded.resize(folded.size() - extension.size());
        const auto modified = (static_cast<std::uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                              entry.ftLastWriteTime.dwLowDateTime;
        lines.push_back({name.substr(0, name.size() - extension.size()),
                         extension == kCrosswordExtension ? PuzzleLine::Crossword : PuzzleLine::WordSearch, modified,
                         std::move(folded)});
    } while (::FindNextFileA(find.get(), &entry));
    return lines;
}

// The file's last write time in the user's short date and time formats.
void FormatModified(std::uint64_t modified, char* text, int size)
{
    FILETIME utc{static_cast<DWORD>(modified & 0xFFFFFFFFu), static_cast<DWORD>(modified >> 32)};
    FILETIME local{};
    SYSTEMTIME time{};
    if (size <= 0 || !::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &time)) {
        if (size > 0)
            text[0] = '\0';
        return;
    }
    int length = ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, size);
    if (length <= 0 || length >= size) {
        text[0] = '\0';
        return;
    }
    text[length - 1] = ' ';
    if (::GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, text + length, size - length) <= 0)
        text[length - 1] = '\0';
}

}  // namespace

void TMainWin::RefreshPuzzleList()
{
    win::CriticalSectionLock lock(FListLock);
    if (RefillProbe)
        RefillProbe();
    const std::string repository = Config->GetRepository();
    win::HourglassCursor hourglass;
    int focusedFromTop = 0;
    const PuzzleListModel::Place place = CurrentPlace(focusedFromTop);
    model_.SetLines(ListPuzzleFiles(repository));
    ::SendMessageA(statusBar_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(repository.c_str()));
    ShowRows(place, focusedFromTop);
}

PuzzleListModel::Place TMainWin::CurrentPlace(int& focusedFromTop) const
{
    PuzzleListModel::Place place;
    const int shown = static_cast<int>(model_.Shown());
    for (int row = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_SELECTED); row >= 0 && row < shown;
         row = ListView_GetNextItem(lvwPuzzles_, row, LVNI_SELECTED))
        place.selected.push_back(model_.NameAt(static_cast<std::size_t>(row)));
    const int focused = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_FOCUSED);
    if (focused >= 0 && focused < shown) {
        place.focused = model_.NameAt(static_cast<std::size_t>(focused));
        place.focusedRow = static_cast<std::size_t>(focused);
        focusedFromTop = focused - ListView_GetTopIndex(lvwPuzzles_);
    }
    return place;
}

// The rows of the model, with the same lines selected and the focused one where it stood on the
// screen, as far as the list allows.
void TMainWin::ShowRows(const PuzzleListModel::Place& place, int focusedFromTop)
{
    std::optional<int> focused;
    {
        win::RedrawSuspended suspended(lvwPuzzles_);
        // Clearing the state of every line costs a notice per line: only what is set is cleared.
        if (ListView_GetSelectedCount(lvwPuzzles_) > 0)
            ListView_SetItemState(lvwPuzzles_, -1, 0, LVIS_SELECTED);
        const int wasFocused = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_FOCUSED);
        if (wasFocused >= 0)
            ListView_SetItemState(lvwPuzzles_, wasFocused, 0, LVIS_FOCUSED);
        ListView_SetItemCountEx(lvwPuzzles_, static_cast<int>(model_.Shown()), LVSICF_NOSCROLL);
        const PuzzleListModel::Rows rows = model_.Find(place);
        for (std::size_t row : rows.selected)
            ListView_SetItemState(lvwPuzzles_, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
        if (rows.focused) {
            focused = static_cast<int>(*rows.focused);
            ListView_SetItemState(lvwPuzzles_, *focused, LVIS_FOCUSED, LVIS_FOCUSED);
            ListView_SetSelectionMark(lvwPuzzles_, *focused);
        }
    }
    // The list scrolls only while it draws, and by whole lines: the step from one line's top to
    // the next.
    POINT first{}, second{};
    if (focused && model_.Shown() > 1 && ListView_GetItemPosition(lvwPuzzles_, 0, &first) &&
        ListView_GetItemPosition(lvwPuzzles_, 1, &second)) {
        const int wantedTop = *focused - focusedFromTop > 0 ? *focused - focusedFromTop : 0;
        ListView_Scroll(lvwPuzzles_, 0, (wantedTop - ListView_GetTopIndex(lvwPuzzles_)) * (second.y - first.y));
    }
    if (focused)
        ListView_EnsureVisible(lvwPuzzles_, *focused, FALSE);
    ShowCount();
    lvwPuzzlesSelectItem();
}

// "Items: N", or "Items: N of M" while a filter is set, in a part as wide as its text.
void TMainWin::ShowCount()
{
    std::string count = "Items: " + std::to_string(model_.Shown());
    if (!model_.Filter().empty())
        count += " of " + std::to_string(model_.Total());
    const SIZE size =
        win::TextSizeIn(statusBar_, reinterpret_cast<HFONT>(::SendMessageA(statusBar_, WM_GETFONT, 0, 0)), count);
    int parts[] = {
        std::max(win::Scaled(kCountLeastWidth, dpi_), static_cast<int>(size.cx) + win::Scaled(kCountPadding, dpi_)),
        -1};
    ::SendMessageA(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    ::SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(count.c_str()));
}

void TMainWin::lvwPuzzlesGetDispInfo(NMLVDISPINFOA& info) const
{
    LVITEMA& item = info.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= model_.Shown())
        return;
    const PuzzleLine& line = model_.At(static_cast<std::size_t>(item.iItem));
    if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        if (item.iSubItem == 2)
            FormatModified(line.Modified, item.pszText, item.cchTextMax);
        else
            ::lstrcpynA(item.pszText, item.iSubItem == 0 ? line.Caption.c_str() : kTypeTexts[line.KindTag],
                        item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = line.KindTag;
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(line.KindTag);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

// Typing in the list: the next line whose name starts with the letters typed.
int TMainWin::lvwPuzzlesFindItem(UINT flags, const std::string& prefix, int start) const
{
    if ((flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || prefix.empty())
        return -1;
    const auto from =
        start >= 0 && static_cast<std::size_t>(start) < model_.Shown() ? static_cast<std::size_t>(start) : 0;
    const auto row = model_.FindPrefix(win::UpperCase(prefix), from);
    return row ? static_cast<int>(*row) : -1;
}

void TMainWin::lvwPuzzlesColumnClick(int column)
{
    int focusedFromTop = 0;
    const auto place = CurrentPlace(focusedFromTop);
    win::HourglassCursor hourglass;
    model_.ClickColumn(static_cast<SortColumn>(column + 1));
    ShowSortArrow();
    ShowRows(place, focusedFromTop);
}

void TMainWin::ShowSortArrow()
{
    HWND header = ListView_GetHeader(lvwPuzzles_);
    const SortOrder sort = model_.Sort();
    for (int column = 0; column < Header_GetItemCount(header); ++column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, column, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (static_cast<int>(sort.column) == column + 1)
            item.fmt |= sort.descending ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, column, &item);
    }
}

void TMainWin::edtSearchChange()
{
    char text[256] = {};
    ::GetWindowTextA(search_, text, sizeof(text));
    int focusedFromTop = 0;
    const auto place = CurrentPlace(focusedFromTop);
    model_.SetFilter(win::UpperCase(text));
    ShowRows(place, focusedFromTop);
}

// A filter that matches nothing says so in the empty list.
// The list's own word when it shows no line: that no name matches the search, or, for an empty
// library, how to fill it. The text is painted over the list, never a line of it.
std::string TMainWin::ListHint() const
{
    if (model_.Shown() != 0)
        return {};
    if (!model_.Filter().empty())
        return kNoMatch;
    if (model_.Total() != 0)
        return {};
    return std::string(kEmptyLibrary) + "\r\n\r\n" + kEmptyLibraryFolder + Config->GetRepository();
}

void TMainWin::lvwPuzzlesPaintHint(HWND list)
{
    const std::string hint = ListHint();
    if (hint.empty())
        return;
    RECT area{};
    ::GetClientRect(list, &area);
    RECT header{};
    ::GetWindowRect(ListView_GetHeader(list), &header);
    area.top += (header.bottom - header.top) + win::Scaled(8, dpi_);
    ::InflateRect(&area, -win::Scaled(12, dpi_), 0);
    HDC dc = ::GetDC(list);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0)));
    const UINT format = DT_CENTER | DT_NOPREFIX | DT_WORDBREAK;
    if (model_.Filter().empty()) {
        // The empty library's hint stands in the middle of the list.
        RECT needed = area;
        ::DrawTextA(dc, hint.c_str(), -1, &needed, format | DT_CALCRECT);
        area.top += std::max(0L, (area.bottom - area.top - (needed.bottom - needed.top)) / 2);
    }
    // On the list's own background, so that no grid line runs through the text.
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, ListView_GetBkColor(list));
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::DrawTextA(dc, hint.c_str(), -1, &area, format | DT_TOP);
    ::SelectObject(dc, previous);
    ::ReleaseDC(list, dc);
}

namespace {

// Ctrl+F or F3: the keys that lead to the search field.
bool IsFindKey(WPARAM key) { return key == VK_F3 || (key == 'F' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0); }

}  // namespace

void TMainWin::FocusSearch()
{
    ::SetFocus(search_);
    ::SendMessageA(search_, EM_SETSEL, 0, -1);
}

// Ctrl+F and F3 go to the search field, as does Tab: the list and the field take turns.
bool TMainWin::OnListKey(WPARAM key)
{
    if (IsFindKey(key) || key == VK_TAB) {
        FocusSearch();
        return true;
    }
    return false;
}

// Esc clears the filter and goes back to the list; Enter, Down and Tab go to the list keeping it.
bool TMainWin::OnSearchKey(WPARAM key)
{
    if (IsFindKey(key)) {
        FocusSearch();
        return true;
    }
    if (key == VK_ESCAPE)
        ::SetWindowTextA(search_, "");
    if (key != VK_ESCAPE && key != VK_RETURN && key != VK_DOWN && key != VK_TAB)
        return false;
    ::SetFocus(lvwPuzzles_);
    return true;
}

std::string TMainWin::PathOf(const PuzzleLine& line) const
{
    return text::IncludeTrailingBackslash(Config->GetRepository()) + line.Caption +
           (line.KindTag == PuzzleLine::Crossword ? kCrosswordExtension : kWordSearchExtension);
}

std::vector<std::string> TMainWin::SelectedPuzzlePaths() const
{
    std::vector<std::string> paths;
    for (int row = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_SELECTED);
         row >= 0 && static_cast<std::size_t>(row) < model_.Shown();
         row = ListView_GetNextItem(lvwPuzzles_, row, LVNI_SELECTED))
        paths.push_back(PathOf(model_.At(static_cast<std::size_t>(row))));
    return paths;
}

std::string TMainWin::SelectedPuzzlePath() const
{
    if (ListView_GetSelectedCount(lvwPuzzles_) != 1)
        return {};
    const int selected = ListView_GetNextItem(lvwPuzzles_, -1, LVNI_SELECTED);
    if (selected < 0 || static_cast<std::size_t>(selected) >= model_.Shown())
        return {};
    return PathOf(model_.At(static_cast<std::size_t>(selected)));
}

// Play needs exactly one selected line; Delete takes them all.
void TMainWin::lvwPuzzlesSelectItem()
{
    const UINT selected = ListView_GetSelectedCount(lvwPuzzles_);
    bars_.SetEnabled(IDM_PLAY, selected == 1);
    bars_.SetEnabled(IDM_DELETE, selected > 0);
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
