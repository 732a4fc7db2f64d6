// The main window: the live list of the repository's puzzle files, the repository watcher, and
// the commands that act on the list.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/PuzzleListModel.h"
#include "win/VersionInfo.h"
#include "core/ConfigRules.h"
#include "ui/CommandBars.h"
#include "win/Handles.h"
#include "ui/OpenDialog.h"

class TMainWin {
public:
    // Private messages: the watcher asks the window's thread to refill (posted, at most one
    // pending), or hands it a failure (sent).
    static constexpr UINT WM_WATCHER_REFILL = WM_APP + 1;
    static constexpr UINT WM_WATCHER_FAILED = WM_APP + 2;
    // Posted to open the import dialog on the files waiting for it, one after another.
    static constexpr UINT WM_OPEN_IMPORTS = WM_APP + 3;

    static constexpr const char* kClassName = "TMainWin";

    TMainWin();
    TMainWin(const TMainWin&) = delete;
    TMainWin& operator=(const TMainWin&) = delete;
    ~TMainWin();

    // Creates the window and runs its creation handler; the window is not yet shown.
    bool Create();
    // Shows the window, maximised when the settings say so, and draws it unless collection files
    // wait for the import dialog; then clears away, on a thread of its own, the temporary files
    // that a killed import left in the repository.
    void Show();
    HWND Handle() const { return hwnd_; }
    HWND ListView() const { return lvwPuzzles_; }
    HWND StatusBar() const { return statusBar_; }
    HWND SearchField() const { return search_; }
    ui::CommandBars& Bars() { return bars_; }
    const PuzzleListModel& Model() const { return model_; }
    std::string StatusText(int part) const;
    // What the list says when it shows no line; empty while it shows some.
    std::string ListHint() const;

    void RefreshPuzzleList();
    // Opens the import dialog on each collection file, one after another, once the window's
    // message loop runs, exactly as Import does after its file dialog.
    void OpenImportsLater(std::vector<std::string> files);
    // The selected line's file path when exactly one is selected: repository folder, caption and
    // the kind's extension.
    std::string SelectedPuzzlePath() const;
    // Every selected line's file path, in the order shown.
    std::vector<std::string> SelectedPuzzlePaths() const;

    TVersionInfo VersionInfo;

    // Runs at the start of every refill; tests use it to inject a failure.
    static std::function<void()> RefillProbe;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK SearchProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static DWORD WINAPI WatcherThread(LPVOID parameter);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR& header);

    void CreateControls();
    void CreateCommands();
    void Layout();
    void FormCreate();
    static settings::Bounds RestoredBounds();
    void FormClose();
    void WatchRepository();
    void RequestRefill();
    void ServeRefillRequest();
    void StartWatcher();
    void StopWatcher();

    void lvwPuzzlesSelectItem();
    void lvwPuzzlesDblClick();
    void lvwPuzzlesKeyDown(WORD key);
    void lvwPuzzlesMouseDown(WPARAM keys);
    void OpenPopupAtFocus();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void ApplyDpi(UINT dpi);
    void lvwPuzzlesGetDispInfo(NMLVDISPINFOA& info) const;
    int lvwPuzzlesFindItem(UINT flags, const std::string& prefix, int start) const;
    void lvwPuzzlesColumnClick(int column);
    void lvwPuzzlesPaintHint(HWND list);
    bool OnListKey(WPARAM key);
    bool OnSearchKey(WPARAM key);
    void edtSearchChange();
    void FocusSearch();
    // Shows the model's rows again, with the user's place kept by name.
    void ShowRows(const PuzzleListModel::Place& place, int focusedFromTop);
    PuzzleListModel::Place CurrentPlace(int& focusedFromTop) const;
    void ShowSortArrow();
    void ShowCount();
    std::string PathOf(const PuzzleLine& line) const;
    void dxPlayClick() { lvwPuzzlesDblClick(); }
    void dxDeleteClick();
    void dxExitClick();
    void dxImportClick();
    void ImportCollection(const std::string& path);
    void OpenPendingImports();
    bool OnHandOver(HWND sender, const COPYDATASTRUCT& data);
    void OnDropFiles(HDROP drop);
    void ComeToFront();
    void dxPrefsClick();
    void dxGLHelpClick();
    void dxBugReporterClick();
    void dxAboutClick();
    void dxMorePuzzClick();
    void dxHomePageClick();
    void dxKnowledgebaseClick();
    void dxSupportClick();
    void dxCheckForUpdateClick();
    static void OpenVendorPage(const char* path);
    static std::vector<ui::MenuEntry> OnTheWeb();

    // The status bar's count part is never narrower than this, at 96 DPI.
    static constexpr int kCountLeastWidth = 75;

    HWND hwnd_ = nullptr;
    HWND pnlMain_ = nullptr;
    HWND lvwPuzzles_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND search_ = nullptr;
    win::UniqueImageList ilsMain_;
    UINT dpi_ = 96;
    bool placing_ = false;
    win::UniqueHFont font_;
    ui::CommandBars bars_;
    HMENU dxPopup_ = nullptr;
    PuzzleListModel model_;
    win::OpenFileDialog dlgImport;
    std::vector<std::string> pendingImports_;
    bool openingImports_ = false;

    win::CriticalSection FListLock;
    std::atomic<bool> FKeepWatching{false};
    std::atomic<bool> FWatcherRunning{false};
    std::atomic<bool> refillRequested_{false};
    win::UniqueHandle FWatcherThread;
    win::UniqueHandle stopWatching_;
    bool closing_ = false;
    win::UniqueHandle staleFileCleanup_;
};

// The process-wide main window; empty on the play road.
extern TMainWin* MainWin;

// Whether a mouse button going down in the list opens the popup: the right button alone, with
// no other button and no Shift, Ctrl or Alt.
bool OpensPopup(UINT message, WPARAM keys, bool altDown);
