// The main window: the frame around the puzzle list, its commands, toolbar and status bar. It
// shows the repository's puzzles, which the watcher keeps current, and takes collection files for
// the import dialog from every way they arrive.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "app/ImportQueue.h"
#include "app/LibraryFeed.h"
#include "app/PuzzleListView.h"
#include "puzzles/ImportDialog.h"
#include "puzzles/ListingWorker.h"
#include "ui/CommandBars.h"
#include "ui/OpenDialog.h"
#include "win/Handles.h"
#include "win/LazyApi.h"
#include "win/VersionResource.h"

class Settings;

class MainWindow : private PuzzleListView::Owner {
public:
    // The window class the installer and a second start look for.
    static constexpr const char* kClassName = "TMainWin";
    // How the folder's puzzle files are listed on every refill.
    using FolderLister = puzzles::FolderLister;

    explicit MainWindow(Settings& settings, FolderLister lister = {});
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Creates the window and runs its creation handler; the window is not yet shown.
    bool Create();
    // Shows the window, maximised when the settings say so, and draws it unless collection files
    // wait for the import dialog; then clears away, on a thread of its own, the temporary files
    // that a killed import left in the repository.
    void Show();
    HWND Handle() const { return hwnd_; }
    HWND ListView() const { return list_.List(); }
    HWND StatusBar() const { return statusBar_; }
    HWND SearchField() const { return list_.Search(); }
    ui::CommandBars& Bars() { return bars_; }
    const PuzzleListModel& Model() const { return list_.Model(); }
    std::string StatusText(int part) const;
    // What the list says when it shows no line; empty while it shows some.
    std::string ListHint() const { return list_.Hint(); }

    // Lists the folder anew, now.
    void RefreshPuzzleList() { feed_.Relist(); }
    // Whether the first listing, which runs on a thread of its own, has yet to reach the list.
    bool Listing() const { return feed_.Listing(); }
    // Opens the import dialog on each collection file, one after another, once the window's
    // message loop runs, exactly as Import does after its file dialog.
    void OpenImportsLater(std::vector<std::string> files) { imports_.Add(std::move(files)); }
    std::string SelectedPuzzlePath() const { return list_.SelectedPath(); }
    std::vector<std::string> SelectedPuzzlePaths() const { return list_.SelectedPaths(); }
    // What Show in Folder calls to open Explorer on the folder with the files selected; the shell
    // unless replaced.
    using FolderShower =
        std::function<HRESULT(HWND owner, const std::string& folder, const std::vector<std::string>& files)>;
    void SetFolderShower(FolderShower shower) { showInFolder_ = std::move(shower); }

private:
    // Private messages: the folder's changes wait (posted, at most one pending), a worker hands
    // over its failure (sent), the waiting collection files are opened (posted), the first listing
    // is done (posted).
    static constexpr UINT WM_FOLDER_CHANGED = WM_APP + 1;
    static constexpr UINT WM_WORKER_FAILED = WM_APP + 2;
    static constexpr UINT WM_OPEN_IMPORTS = WM_APP + 3;
    static constexpr UINT WM_LISTING_DONE = WM_APP + 4;
    // A name typed in place waits to be given to its file (posted), once the list's edit is gone.
    static constexpr UINT WM_RENAME_TYPED = WM_APP + 5;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR& header);

    void CreateControls();
    void Layout();
    void OnCreate();
    void OnClose();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void ApplyDpi(UINT dpi);
    void ShowCount();

    // The list's and the watcher's calls.
    void OnSelectionChanged(UINT selected) override;
    void OnPlayRequested() override { OnPlay(); }
    void OnDeleteRequested() override { OnDelete(); }
    void OnRenameTyped(PuzzleListModel::LineName line, std::string typed) override;
    void RenamePuzzle(const PuzzleListModel::LineName& line, const std::string& typed);
    void OnCountChanged() override { ShowCount(); }

    void OnPlay();
    void OnDelete();
    void OnShowInFolder();
    void OnImport();
    void OnPreferences();
    void OnHelpContents();
    void ImportCollection(const std::string& path);
    // Shows what an import wrote: its lines selected, and a note in the status bar.
    void ShowImported(const ImportDialog& import);
    // A note in the status bar's folder part until the next command.
    void SetStatusNote(std::string note);

    // The status bar's count part is never narrower than this, at 96 DPI.
    static constexpr int kCountLeastWidth = 75;

    Settings& settings_;
    VersionResource version_;
    HWND hwnd_ = nullptr;
    HWND panel_ = nullptr;
    HWND statusBar_ = nullptr;
    win::UniqueImageList pictures_;
    UINT dpi_ = 96;
    bool closing_ = false;
    win::UniqueHFont font_;
    ui::CommandBars bars_;
    PuzzleListView list_{*this};
    win::OpenFileDialog importFileDialog_;
    ImportQueue imports_;
    LibraryFeed feed_;
    win::UniqueHandle staleFileCleanup_;
    std::string statusNote_;
    std::optional<std::pair<PuzzleListModel::LineName, std::string>> renameTyped_;
    FolderShower showInFolder_ = &win::ShowInExplorer;
};
