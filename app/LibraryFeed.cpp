#include "app/LibraryFeed.h"

#include "win/Handles.h"
#include "win/Paths.h"

LibraryFeed::LibraryFeed(PuzzleListView& list, std::function<std::string()> repository, puzzles::FolderLister lister)
    : list_(list),
      repository_(std::move(repository)),
      lister_(lister ? std::move(lister) : puzzles::FolderLister(&puzzles::ListPuzzleFiles)),
      watcher_(*this, repository_)
{
}

// The watcher starts before the listing, so that it misses nothing after it and lists nothing twice.
void LibraryFeed::Start(HWND window, Messages messages)
{
    window_ = window;
    messages_ = messages;
    watcher_.Start();
    workerRepository_ = repository_();
    list_.SetBusy(true);
    worker_.Start(lister_, workerRepository_, window_, messages_.listingDone, messages_.workerFailed);
}

void LibraryFeed::Stop()
{
    watcher_.Stop();
    worker_.Stop();
}

void LibraryFeed::Relist()
{
    const std::string repository = repository_();
    win::HourglassCursor hourglass;
    Show(lister_(repository), repository);
}

void LibraryFeed::Show(puzzles::FolderLines listed, std::string repository)
{
    listedInNameOrder_ = listed.inNameOrder;
    list_.Refill(std::move(listed.lines), std::move(repository), listed.folderFound);
}

void LibraryFeed::OnListingDone()
{
    if (!worker_.Running())
        return;
    puzzles::FolderLines listed = worker_.Take();
    list_.SetBusy(false);
    Show(std::move(listed), workerRepository_);
    if (std::exchange(changesWaiting_, false))
        OnFolderChanged();
}

// The changes are taken on a posted message, so no loop that only serves sent messages and paints
// (a long import's) updates the list.
void LibraryFeed::OnChangesWaiting() { ::PostMessageA(window_, messages_.folderChanged, 0, 0); }

// The failure is told on the window's own thread, where the exception hook runs.
void LibraryFeed::OnWatchFailed(const win::CaughtException& caught)
{
    ::SendMessageA(window_, messages_.workerFailed, 0, reinterpret_cast<LPARAM>(&caught));
}

// A change by name updates only its lines. The whole folder is listed anew when the watcher asks,
// when the changes come from another folder than the one shown, or when the folder's listing did
// not come in the order of names, where a new line's place is unknown.
void LibraryFeed::OnFolderChanged()
{
    if (worker_.Running()) {
        changesWaiting_ = true;
        return;
    }
    puzzles::RepositoryWatcher::Changes changes = watcher_.TakeChanges();
    if (changes.relist || !listedInNameOrder_ || win::UpperCase(changes.folder) != win::UpperCase(repository_()))
        Relist();
    else if (!changes.lines.empty())
        list_.ApplyChanges(changes.lines, &puzzles::NameOrder);
}
