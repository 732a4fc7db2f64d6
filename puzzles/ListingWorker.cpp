#include "puzzles/ListingWorker.h"

#include "win/MessagePump.h"

namespace puzzles {

void ListingWorker::Start(FolderLister lister, std::string repository, HWND window, UINT done, UINT failed)
{
    Stop();
    lister_ = std::move(lister);
    repository_ = std::move(repository);
    window_ = window;
    done_ = done;
    failed_ = failed;
    listed_ = {};
    thread_.reset(::CreateThread(nullptr, 0, &ListingWorker::ThreadStart, this, 0, nullptr));
    if (!thread_)
        ThreadStart(this);  // no thread to be had: the listing runs here, its message still posted
}

// The lines are the worker's until it has ended: the window takes them only after its message,
// which the worker posts as its last act.
DWORD WINAPI ListingWorker::ThreadStart(LPVOID parameter)
{
    auto* self = static_cast<ListingWorker*>(parameter);
    try {
        self->listed_ = self->lister_(self->repository_);
    } catch (...) {
        const win::CaughtException caught = win::CaughtException::Current();
        ::SendMessageA(self->window_, self->failed_, 0, reinterpret_cast<LPARAM>(&caught));
    }
    ::PostMessageA(self->window_, self->done_, 0, 0);
    return 0;
}

// Past its done message the worker sends nothing more: its end is waited for without serving
// messages, so that no other message of the window runs in between.
FolderLines ListingWorker::Take()
{
    const win::UniqueHandle thread = std::move(thread_);
    if (thread)
        ::WaitForSingleObject(thread.get(), INFINITE);
    return std::exchange(listed_, {});
}

// The handle is let go before the wait: a done message served during the wait finds the worker
// no longer running and takes nothing.
void ListingWorker::Stop()
{
    const win::UniqueHandle thread = std::move(thread_);
    if (thread)
        win::WaitServingMessages(thread.get());
}

}  // namespace puzzles
