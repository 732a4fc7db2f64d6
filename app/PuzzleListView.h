// The main window's list of puzzles and the search field above it: the list shows the model's
// rows, keeps the user's place (selection, focus, where the focused line stands) across a refill,
// a sort and a filter, sorts on a column click, finds by typing and paints its hint when empty.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "core/PuzzleListModel.h"

class PuzzleListView {
public:
    // What the list tells the window that holds it.
    class Owner {
    public:
        virtual void OnSelectionChanged(UINT selected) = 0;
        // Enter or a double click on a line.
        virtual void OnPlayRequested() = 0;
        // Delete, whatever Shift, Ctrl and Alt.
        virtual void OnDeleteRequested() = 0;
        // A name typed for the line in place, as typed.
        virtual void OnRenameTyped(PuzzleListModel::LineName line, std::string typed) = 0;
        // The number of lines shown or the filter changed.
        virtual void OnCountChanged() = 0;

    protected:
        ~Owner() = default;
    };

    explicit PuzzleListView(Owner& owner) : owner_(owner) {}
    PuzzleListView(const PuzzleListView&) = delete;
    PuzzleListView& operator=(const PuzzleListView&) = delete;

    // The list goes into the panel, the search field into the frame, which receives the field's
    // notices and the popup's commands.
    void Create(HWND frame, HWND panel, int listId, int searchId, HIMAGELIST pictures);
    HWND List() const { return list_; }
    HWND Search() const { return search_; }
    const PuzzleListModel& Model() const { return model_; }
    void SetPopup(HMENU popup) { popup_ = popup; }
    void SetDpi(UINT dpi) { dpi_ = dpi; }
    // The widths of the name, type and modified columns.
    using Widths = std::array<int, 3>;
    Widths ColumnWidths() const;
    // Widths measured at one DPI, scaled to another.
    void SetColumnWidths(const Widths& widths, UINT fromDpi, UINT toDpi);

    // The folder's lines, shown with the user's place kept by name; folderFound tells whether the
    // folder was there to be listed.
    void Refill(std::vector<PuzzleLine> lines, std::string repository, bool folderFound = true);
    // While busy, the empty list says that the puzzles are being listed, and the pointer over it
    // says so too.
    void SetBusy(bool busy);
    // Changed lines, shown the same way.
    void ApplyChanges(const std::vector<LineChange>& changes, const PuzzleListModel::EnumerationOrder& before);
    void SetSort(SortOrder sort);
    // Opens the name of the one selected line for editing in place.
    void BeginRename();
    // Selects the lines of those names that are shown, alone, the first of them focused, in view,
    // where the focused line stood on the screen.
    void SelectLines(std::vector<PuzzleListModel::LineName> names);
    void OnSearchChanged();
    // Answers the list's notices; others answer 0.
    LRESULT OnNotify(NMHDR& header);

    // "Items: N", or "Items: N of M" while a filter is set.
    std::string CountText() const;
    // What the list says when it shows no line; empty while it shows some.
    std::string Hint() const;
    // The folder listed, and whether it was missing.
    std::string FolderText() const;
    // The selected line's file path when exactly one is selected.
    std::string SelectedPath() const;
    // Every selected line's file path, in the order shown.
    std::vector<std::string> SelectedPaths() const;

private:
    static LRESULT CALLBACK ListProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK SearchProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    PuzzleListModel::Place CurrentPlace(int& focusedFromTop) const;
    void ShowRows(const PuzzleListModel::Place& place, int focusedFromTop);
    void ShowSortArrow();
    void OnGetLineText(NMLVDISPINFOA& info) const;
    int FindLine(UINT flags, const std::string& prefix, int start) const;
    void OnColumnClick(int column);
    void PaintHint();
    bool OnListKey(WPARAM key);
    bool OnSearchKey(WPARAM key);
    void FocusSearch();
    void OpenPopupAtCursor(WPARAM keys);
    void OpenPopupAtFocus();
    void TellSelection();

    Owner& owner_;
    HWND frame_ = nullptr;
    HWND list_ = nullptr;
    HWND search_ = nullptr;
    HMENU popup_ = nullptr;
    UINT dpi_ = 96;
    PuzzleListModel model_;
    std::string repository_;
    bool folderFound_ = true;
    bool busy_ = false;
};

// Whether a mouse button going down in the list opens the popup: the right button alone, with
// no other button and no Shift, Ctrl or Alt.
bool OpensPopup(UINT message, WPARAM keys, bool altDown);
