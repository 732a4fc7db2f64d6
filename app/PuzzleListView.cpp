#include "app/PuzzleListView.h"

#include <algorithm>
#include <optional>

#include "core/Text.h"
#include "core/ConfigRules.h"
#include "core/PuzzleKinds.h"
#include "puzzles/FolderListing.h"
#include "ui/Fonts.h"
#include "win/Dpi.h"
#include "win/ExceptionHook.h"
#include "win/Paths.h"
#include "win/SortKeys.h"

namespace {

constexpr const wchar_t* kSearchCue = L"Search puzzles";
constexpr const char* kNoMatch = "No puzzle name contains the search text.";
constexpr const char* kEmptyLibrary =
    "Your library has no puzzles yet. To add some, import a collection with Puzzle | Import Puzzle(s)... "
    "(Alt+P, I), or drop collection files on this window.";
constexpr const char* kEmptyLibraryFolder = "Your puzzles are kept in the folder ";
constexpr const char* kListing = "Listing your puzzles...";
constexpr const char* kFolderMissing = " (folder not found)";
// Lines after the focused one kept beyond the selected count, to find the one left after a delete;
// never more than the most, so that a selection of everything costs no second copy of the names.
constexpr int kFollowingKept = 16;
constexpr int kFollowingMost = 4096;

HWND CreateChild(const char* className, DWORD style, DWORD exStyle, HWND parent, int id)
{
    return ::CreateWindowExA(exStyle, className, nullptr, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
}

void AddColumn(HWND list, int index, const char* caption, int width)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(caption);
    column.cx = width;
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
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

// Ctrl+F or F3: the keys that lead to the search field.
bool IsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

bool IsFindKey(WPARAM key) { return key == VK_F3 || (key == 'F' && IsDown(VK_CONTROL)); }

}  // namespace

void PuzzleListView::Create(HWND frame, HWND panel, int listId, int searchId, HIMAGELIST pictures)
{
    // Names sort as Explorer shows them.
    model_.SetNameKeyMaker([](const std::string& caption) { return win::NaturalOrderKey(caption); });
    frame_ = frame;
    search_ = CreateChild(WC_EDITA, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, frame, searchId);
    ::SendMessageW(search_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(kSearchCue));
    ::SetWindowSubclass(search_, &PuzzleListView::SearchProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
    list_ =
        CreateChild(WC_LISTVIEWA,
                    LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | LVS_EDITLABELS | WS_TABSTOP,
                    0, panel, listId);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ListView_SetImageList(list_, pictures, LVSIL_SMALL);
    ListView_SetCallbackMask(list_, LVIS_STATEIMAGEMASK);
    AddColumn(list_, 0, "Puzzle Name", 250);
    AddColumn(list_, 1, "Type", 150);
    AddColumn(list_, 2, "Modified", 130);
    ::SetWindowSubclass(list_, &PuzzleListView::ListProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

PuzzleListView::Widths PuzzleListView::ColumnWidths() const
{
    Widths widths{};
    for (std::size_t column = 0; column < widths.size(); ++column)
        widths[column] = ListView_GetColumnWidth(list_, static_cast<int>(column));
    return widths;
}

void PuzzleListView::SetColumnWidths(const Widths& widths, UINT fromDpi, UINT toDpi)
{
    for (std::size_t column = 0; column < widths.size(); ++column)
        ListView_SetColumnWidth(list_, static_cast<int>(column), settings::ScaledToDpi(widths[column], fromDpi, toDpi));
}

void PuzzleListView::Refill(std::vector<PuzzleLine> lines, std::string repository, bool folderFound)
{
    int focusedFromTop = 0;
    const PuzzleListModel::Place place = CurrentPlace(focusedFromTop);
    model_.SetLines(std::move(lines));
    repository_ = std::move(repository);
    folderFound_ = folderFound;
    ShowRows(place, focusedFromTop);
}

void PuzzleListView::SetBusy(bool busy)
{
    busy_ = busy;
    ::InvalidateRect(list_, nullptr, TRUE);
}

std::string PuzzleListView::FolderText() const
{
    if (folderFound_ || text::Trim(repository_).empty())
        return repository_;
    return repository_ + kFolderMissing;
}

void PuzzleListView::ApplyChanges(const std::vector<LineChange>& changes,
                                  const PuzzleListModel::EnumerationOrder& before)
{
    int focusedFromTop = 0;
    const PuzzleListModel::Place place = CurrentPlace(focusedFromTop);
    model_.ApplyChanges(changes, before);
    ShowRows(place, focusedFromTop);
}

void PuzzleListView::SelectLines(std::vector<PuzzleListModel::LineName> names)
{
    PuzzleListModel::Place place;
    place.selected = std::move(names);
    const PuzzleListModel::Rows rows = model_.Find(place);
    if (rows.selected.empty())
        return;
    place.focused = model_.NameAt(rows.selected.front());
    // Where the focus stood on the screen, the first of them stands now.
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    ShowRows(place, focused >= 0 ? std::max(focused - ListView_GetTopIndex(list_), 0) : 0);
}

void PuzzleListView::BeginRename()
{
    if (ListView_GetSelectedCount(list_) != 1)
        return;
    const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    ::SetFocus(list_);
    ListView_EnsureVisible(list_, row, FALSE);
    ListView_EditLabel(list_, row);
}

void PuzzleListView::SetSort(SortOrder sort)
{
    model_.SetSort(sort);
    ShowSortArrow();
}

PuzzleListModel::Place PuzzleListView::CurrentPlace(int& focusedFromTop) const
{
    PuzzleListModel::Place place;
    const int shown = static_cast<int>(model_.Shown());
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0 && row < shown;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED))
        place.selected.push_back(model_.NameAt(static_cast<std::size_t>(row)));
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    if (focused >= 0 && focused < shown) {
        place.focused = model_.NameAt(static_cast<std::size_t>(focused));
        place.focusedRow = static_cast<std::size_t>(focused);
        focusedFromTop = focused - ListView_GetTopIndex(list_);
        // Enough of the lines after it to find the first one left when the selection goes.
        const int kept = std::min(static_cast<int>(place.selected.size()) + kFollowingKept, kFollowingMost);
        for (int row = focused + 1; row < shown && row <= focused + kept; ++row)
            place.following.push_back(model_.NameAt(static_cast<std::size_t>(row)));
    }
    return place;
}

// The rows of the model, with the same lines selected and the focused one where it stood on the
// screen, as far as the list allows.
void PuzzleListView::ShowRows(const PuzzleListModel::Place& place, int focusedFromTop)
{
    std::optional<int> focused;
    {
        win::RedrawSuspended suspended(list_);
        // Clearing the state of every line costs a notice per line: only what is set is cleared.
        if (ListView_GetSelectedCount(list_) > 0)
            ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
        const int wasFocused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
        if (wasFocused >= 0)
            ListView_SetItemState(list_, wasFocused, 0, LVIS_FOCUSED);
        ListView_SetItemCountEx(list_, static_cast<int>(model_.Shown()), LVSICF_NOSCROLL);
        const PuzzleListModel::Rows rows = model_.Find(place);
        for (std::size_t row : rows.selected)
            ListView_SetItemState(list_, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
        if (rows.focused) {
            focused = static_cast<int>(*rows.focused);
            ListView_SetItemState(list_, *focused, LVIS_FOCUSED, LVIS_FOCUSED);
            ListView_SetSelectionMark(list_, *focused);
        }
    }
    // The list scrolls only while it draws, and by whole lines: the step from one line's top to
    // the next.
    POINT first{}, second{};
    if (focused && model_.Shown() > 1 && ListView_GetItemPosition(list_, 0, &first) &&
        ListView_GetItemPosition(list_, 1, &second)) {
        const int wantedTop = *focused - focusedFromTop > 0 ? *focused - focusedFromTop : 0;
        ListView_Scroll(list_, 0, (wantedTop - ListView_GetTopIndex(list_)) * (second.y - first.y));
    }
    if (focused)
        ListView_EnsureVisible(list_, *focused, FALSE);
    owner_.OnCountChanged();
    TellSelection();
}

std::string PuzzleListView::CountText() const
{
    std::string count = "Items: " + std::to_string(model_.Shown());
    if (!model_.Filter().empty())
        count += " of " + std::to_string(model_.Total());
    return count;
}

LRESULT PuzzleListView::OnNotify(NMHDR& header)
{
    switch (header.code) {
        case LVN_GETDISPINFOA:
            OnGetLineText(reinterpret_cast<NMLVDISPINFOA&>(header));
            break;
        case LVN_ITEMCHANGED:
        case LVN_ODSTATECHANGED:
            TellSelection();
            break;
        case NM_DBLCLK:
        case NM_RETURN:
            owner_.OnPlayRequested();
            break;
        case LVN_KEYDOWN:
            if (reinterpret_cast<NMLVKEYDOWN&>(header).wVKey == VK_DELETE)
                owner_.OnDeleteRequested();
            break;
        case LVN_BEGINLABELEDITA:
            // Only a line of the list; the edit holds no more than a file name can.
            if (const int row = reinterpret_cast<NMLVDISPINFOA&>(header).item.iItem;
                row < 0 || static_cast<std::size_t>(row) >= model_.Shown())
                return TRUE;
            ::SendMessageA(ListView_GetEditControl(list_), EM_LIMITTEXT, MAX_PATH, 0);
            return FALSE;
        case LVN_ENDLABELEDITA: {
            // The line changes when its file does: the list takes no text of its own.
            const LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(header).item;
            if (item.pszText != nullptr && item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < model_.Shown())
                owner_.OnRenameTyped(model_.NameAt(static_cast<std::size_t>(item.iItem)), item.pszText);
            return FALSE;
        }
        case LVN_COLUMNCLICK:
            OnColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
            break;
        case LVN_ODFINDITEMA: {
            const auto& find = reinterpret_cast<NMLVFINDITEMA&>(header);
            return FindLine(find.lvfi.flags, find.lvfi.psz != nullptr ? find.lvfi.psz : "", find.iStart);
        }
        case LVN_ODFINDITEMW: {
            const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
            return FindLine(find.lvfi.flags, win::AnsiText(find.lvfi.psz), find.iStart);
        }
        default:
            break;
    }
    return 0;
}

void PuzzleListView::TellSelection() { owner_.OnSelectionChanged(ListView_GetSelectedCount(list_)); }

void PuzzleListView::OnGetLineText(NMLVDISPINFOA& info) const
{
    LVITEMA& item = info.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= model_.Shown())
        return;
    const PuzzleLine& line = model_.At(static_cast<std::size_t>(item.iItem));
    const puzzles::KindTraits& kind = puzzles::TraitsOf(line.KindTag);
    if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        if (item.iSubItem == 2)
            FormatModified(line.Modified, item.pszText, item.cchTextMax);
        else
            ::lstrcpynA(item.pszText, item.iSubItem == 0 ? line.Caption.c_str() : kind.typeText, item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = kind.picture;
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(kind.picture);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

// Typing in the list: the next line whose name starts with the letters typed.
int PuzzleListView::FindLine(UINT flags, const std::string& prefix, int start) const
{
    if ((flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || prefix.empty())
        return -1;
    const auto from =
        start >= 0 && static_cast<std::size_t>(start) < model_.Shown() ? static_cast<std::size_t>(start) : 0;
    const auto row = model_.FindPrefix(win::UpperCase(prefix), from);
    return row ? static_cast<int>(*row) : -1;
}

void PuzzleListView::OnColumnClick(int column)
{
    int focusedFromTop = 0;
    const auto place = CurrentPlace(focusedFromTop);
    win::HourglassCursor hourglass;
    model_.ClickColumn(static_cast<SortColumn>(column + 1));
    ShowSortArrow();
    ShowRows(place, focusedFromTop);
}

void PuzzleListView::ShowSortArrow()
{
    HWND header = ListView_GetHeader(list_);
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

void PuzzleListView::OnSearchChanged()
{
    char text[256] = {};
    ::GetWindowTextA(search_, text, sizeof(text));
    int focusedFromTop = 0;
    const auto place = CurrentPlace(focusedFromTop);
    model_.SetFilter(win::UpperCase(text));
    ShowRows(place, focusedFromTop);
}

// The list's own word when it shows no line: that no name matches the search, or, for an empty
// library, how to fill it. The text is painted over the list, never a line of it.
std::string PuzzleListView::Hint() const
{
    if (model_.Shown() != 0)
        return {};
    if (busy_)
        return kListing;
    if (!model_.Filter().empty())
        return kNoMatch;
    if (model_.Total() != 0)
        return {};
    return std::string(kEmptyLibrary) + "\r\n\r\n" + kEmptyLibraryFolder + repository_;
}

void PuzzleListView::PaintHint()
{
    const std::string hint = Hint();
    if (hint.empty())
        return;
    RECT area{};
    ::GetClientRect(list_, &area);
    RECT header{};
    ::GetWindowRect(ListView_GetHeader(list_), &header);
    area.top += (header.bottom - header.top) + win::Scaled(8, dpi_);
    ::InflateRect(&area, -win::Scaled(12, dpi_), 0);
    HDC dc = ::GetDC(list_);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(list_, WM_GETFONT, 0, 0)));
    const UINT format = DT_CENTER | DT_NOPREFIX | DT_WORDBREAK;
    if (model_.Filter().empty()) {
        // The empty library's hint stands in the middle of the list.
        RECT needed = area;
        ::DrawTextA(dc, hint.c_str(), -1, &needed, format | DT_CALCRECT);
        area.top += std::max(0L, (area.bottom - area.top - (needed.bottom - needed.top)) / 2);
    }
    // On the list's own background, so that no grid line runs through the text.
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, ListView_GetBkColor(list_));
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::DrawTextA(dc, hint.c_str(), -1, &area, format | DT_TOP);
    ::SelectObject(dc, previous);
    ::ReleaseDC(list_, dc);
}

void PuzzleListView::FocusSearch()
{
    ::SetFocus(search_);
    ::SendMessageA(search_, EM_SETSEL, 0, -1);
}

// Ctrl+F and F3 go to the search field, as does Tab: the list and the field take turns.
bool PuzzleListView::OnListKey(WPARAM key)
{
    if (IsFindKey(key) || key == VK_TAB) {
        FocusSearch();
        return true;
    }
    if (key == VK_F2 && !IsDown(VK_CONTROL) && !IsDown(VK_MENU)) {
        BeginRename();
        return true;
    }
    // Ctrl+A: every line shown, as in Explorer; the filter's hidden lines stay out.
    if (key == 'A' && IsDown(VK_CONTROL) && !IsDown(VK_MENU)) {
        ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
        return true;
    }
    return false;
}

// Esc clears the filter and goes back to the list; Enter, Down and Tab go to the list keeping it.
bool PuzzleListView::OnSearchKey(WPARAM key)
{
    if (IsFindKey(key)) {
        FocusSearch();
        return true;
    }
    if (key == VK_ESCAPE)
        ::SetWindowTextA(search_, "");
    if (key != VK_ESCAPE && key != VK_RETURN && key != VK_DOWN && key != VK_TAB)
        return false;
    ::SetFocus(list_);
    return true;
}

std::vector<std::string> PuzzleListView::SelectedPaths() const
{
    std::vector<std::string> paths;
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
         row >= 0 && static_cast<std::size_t>(row) < model_.Shown();
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED))
        paths.push_back(puzzles::PuzzleFilePath(repository_, model_.At(static_cast<std::size_t>(row))));
    return paths;
}

std::string PuzzleListView::SelectedPath() const
{
    if (ListView_GetSelectedCount(list_) != 1)
        return {};
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (selected < 0 || static_cast<std::size_t>(selected) >= model_.Shown())
        return {};
    return puzzles::PuzzleFilePath(repository_, model_.At(static_cast<std::size_t>(selected)));
}

bool OpensPopup(UINT message, WPARAM keys, bool altDown)
{
    return message == WM_RBUTTONDOWN && keys == MK_RBUTTON && !altDown;
}

void PuzzleListView::OpenPopupAtCursor(WPARAM keys)
{
    if (!OpensPopup(WM_RBUTTONDOWN, keys, (::GetKeyState(VK_MENU) & 0x8000) != 0))
        return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, frame_, nullptr);
}

// Under the focused line's name, or at the list's top left when no line has the focus.
void PuzzleListView::OpenPopupAtFocus()
{
    POINT at{0, 0};
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    RECT line{};
    if (focused >= 0 && ListView_GetItemRect(list_, focused, &line, LVIR_LABEL)) {
        RECT client{};
        ::GetClientRect(list_, &client);
        at = {line.left, std::min(line.bottom, client.bottom)};
    }
    ::ClientToScreen(list_, &at);
    ::TrackPopupMenu(popup_, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, frame_, nullptr);
}

LRESULT CALLBACK PuzzleListView::ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data)
{
    auto* self = reinterpret_cast<PuzzleListView*>(data);
    return win::Guarded<LRESULT>(0, [&]() -> LRESULT {
        // With Alt held the key comes as a system key, which the list never reports as a key-down
        // notice; Delete works whatever the state of Shift, Ctrl and Alt.
        if (message == WM_SYSKEYDOWN && wParam == VK_DELETE) {
            self->owner_.OnDeleteRequested();
            return 0;
        }
        if (message == WM_KEYDOWN && self->OnListKey(wParam))
            return 0;
        // While the first listing runs, the pointer says the list is busy.
        if (message == WM_SETCURSOR && self->busy_ && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursor(nullptr, IDC_APPSTARTING));
            return TRUE;
        }
        // Shift+F10 and the menu key; a right click opened the popup already on its press.
        if (message == WM_CONTEXTMENU && lParam == -1) {
            self->OpenPopupAtFocus();
            return 0;
        }
        LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        if (message == WM_RBUTTONDOWN)
            self->OpenPopupAtCursor(wParam);
        if (message == WM_PAINT)
            self->PaintHint();
        return result;
    });
}

LRESULT CALLBACK PuzzleListView::SearchProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR data)
{
    auto* self = reinterpret_cast<PuzzleListView*>(data);
    return win::Guarded<LRESULT>(0, [&]() -> LRESULT {
        if (message == WM_KEYDOWN && self->OnSearchKey(wParam))
            return 0;
        // The keys handled above would otherwise also arrive as characters, with a beep.
        if (message == WM_CHAR && (wParam == VK_ESCAPE || wParam == VK_RETURN || wParam == VK_TAB))
            return 0;
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    });
}
