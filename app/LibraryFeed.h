// Keeps the main window's list fed from the repository folder. The first listing runs on a worker,
// so that the window shows at once over a large folder with its list busy; after it, the watcher's
// changes come in by name, and the folder is listed anew only when the watcher asks.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/PuzzleListView.h"
#include "puzzles/ListingWorker.h"
#include "puzzles/RepositoryWatcher.h"

class LibraryFeed : private puzzles::RepositoryWatcher::Owner {
public:
    // The window's private messages the feed uses: the first listing is done and changes wait
    // (both posted), a worker failed (sent, a const win::CaughtException* in its lParam).
    struct Messages {
        UINT listingDone;
        UINT folderChanged;
        UINT workerFailed;
    };

    // repository: the folder to list, asked for on every listing and every pass of the watcher.
    LibraryFeed(PuzzleListView& list, std::function<std::string()> repository, puzzles::FolderLister lister);
    LibraryFeed(const LibraryFeed&) = delete;
    LibraryFeed& operator=(const LibraryFeed&) = delete;
    ~LibraryFeed() { Stop(); }

    // Starts watching, then the first listing on a worker.
    void Start(HWND window, Messages messages);
    // Stops the watcher and the worker, waiting for both.
    void Stop();
    // Whether the first listing has yet to reach the list.
    bool Listing() const { return worker_.Running(); }
    // Lists the folder now, on the calling thread.
    void Relist();

    // The window's handlers of the feed's messages.
    void OnListingDone();
    void OnFolderChanged();

private:
    void OnChangesWaiting() override;
    void OnWatchFailed(const win::CaughtException& caught) override;
    void Show(puzzles::FolderLines listed, std::string repository);

    PuzzleListView& list_;
    std::function<std::string()> repository_;
    puzzles::FolderLister lister_;
    HWND window_ = nullptr;
    Messages messages_{};
    puzzles::ListingWorker worker_;
    std::string workerRepository_;
    // Whether the last listing came in the order of names, where a changed file's place is known.
    bool listedInNameOrder_ = false;
    // Changes told while the first listing was under way, taken once it is shown.
    bool changesWaiting_ = false;
    puzzles::RepositoryWatcher watcher_;
};
