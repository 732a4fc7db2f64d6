#include "app/ImportQueue.h"

#include <utility>

#include "app/Application.h"
#include "app/SingleInstance.h"
#include "core/CommandLine.h"
#include "puzzles/Drop.h"
#include "win/Handles.h"
#include "win/LazyApi.h"
#include "win/Messages.h"

void ImportQueue::Attach(HWND window, UINT openMessage)
{
    window_ = window;
    openMessage_ = openMessage;
}

void ImportQueue::Add(std::vector<std::string> files)
{
    if (files.empty())
        return;
    waiting_.insert(waiting_.end(), files.begin(), files.end());
    ::PostMessageA(window_, openMessage_, 0, 0);
}

// A file queued while a dialog of this loop is open waits for the loop, not for a dialog of its own
// over that one; while any other modal window disables this one, the files wait for it to close.
// The files waiting are checked together first: whatever cannot be read is named in one message,
// and only readable collections open the import dialog.
void ImportQueue::OpenWaiting()
{
    if (opening_ || !::IsWindowEnabled(window_))
        return;
    opening_ = true;
    win::ScopeExit done([this] { opening_ = false; });
    while (!waiting_.empty() && windowOpen_()) {
        puzzles::CollectionsOutcome batch;
        {
            win::HourglassCursor hourglass;
            batch = puzzles::SortOutCollections(std::exchange(waiting_, {}));
        }
        if (!batch.Report.empty())
            win::ShowMessage(window_, batch.Report, app::kTitle, MB_ICONWARNING | MB_OK);
        for (const std::string& path : batch.Readable) {
            if (!windowOpen_())
                return;
            open_(path);
        }
    }
}

bool ImportQueue::TakeHandOver(HWND sender, const COPYDATASTRUCT& data)
{
    if (data.dwData != app::kHandOverTag || !app::OfSameUser(sender))
        return false;
    const auto files = app::DecodeHandOver(static_cast<const char*>(data.lpData), data.cbData);
    if (!files)
        return false;
    ComeToFront();
    Add(*files);
    return true;
}

void ImportQueue::TakeDrop(HDROP drop, const std::string& repository)
{
    std::vector<std::wstring> paths = puzzles::DroppedPaths(drop);
    win::FinishDrop(drop);
    puzzles::DropOutcome outcome;
    {
        win::HourglassCursor hourglass;
        outcome = puzzles::ReceiveDroppedFiles(paths, repository);
    }
    if (!outcome.Report.empty())
        win::ShowMessage(window_, outcome.Report, app::kTitle, MB_ICONWARNING | MB_OK);
    Add(std::move(outcome.Collections));
}

// The window, or the dialog it is busy with, comes to the front; a minimised window is restored.
void ImportQueue::ComeToFront()
{
    if (::IsIconic(window_))
        ::ShowWindow(window_, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(window_));
}
