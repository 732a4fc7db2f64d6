#include "jre/ScanThread.h"

#include <new>

#include "jre/ScanForm.h"
#include "win/Handles.h"
#include "win/LazyApi.h"
#include "win/Paths.h"

std::function<std::vector<std::string>()> TScanDrive::RootsForTests;

namespace {

constexpr const char* kLauncherName = "javaw.exe";

// Sleep(1) lasts a whole timer tick (about 15.6 ms on Windows) unless the timer resolution is
// raised; the scan raises it to 1 ms while it runs, so a folder costs about 2 ms as intended.
class FineTimer {
public:
    FineTimer() { raised_ = win::SetTimerResolution(1, true); }
    ~FineTimer()
    {
        if (raised_)
            win::SetTimerResolution(1, false);
    }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

private:
    bool raised_ = false;
};

}  // namespace

std::vector<std::string> FixedDrives()
{
    return jre::FixedDriveRoots(::GetLogicalDrives(),
                                [](const std::string& root) { return ::GetDriveTypeA(root.c_str()) == DRIVE_FIXED; });
}

TScanDrive* TScanDrive::CreateSuspended()
{
    auto* worker = new TScanDrive();
    worker->thread_ = ::CreateThread(nullptr, 0, &TScanDrive::ThreadStart, worker, CREATE_SUSPENDED, nullptr);
    if (worker->thread_ == nullptr) {
        delete worker;
        throw std::bad_alloc();
    }
    return worker;
}

TScanDrive::~TScanDrive()
{
    if (thread_ != nullptr)
        ::CloseHandle(thread_);
}

void TScanDrive::Resume() { ::ResumeThread(thread_); }

DWORD WINAPI TScanDrive::ThreadStart(LPVOID parameter)
{
    auto* self = static_cast<TScanDrive*>(parameter);
    self->Execute();
    delete self;
    return 0;
}

// ScanFinished comes exactly once, whatever ended the loop: the queue emptied, a stop, memory
// running out while the queue grows, or any other failure.
void TScanDrive::Execute()
{
    try {
        Scan();
    } catch (const std::bad_alloc&) {
        // The scan ends with what it has found.
    } catch (...) {
        TfrmScan::HandOverFailure(win::CaughtException::Current());
    }
    Notify(ScanFinished);
}

void TScanDrive::Scan()
{
    FineTimer timer;
    jre::ScanQueue queue;
    for (const auto& root : RootsForTests ? RootsForTests() : FixedDrives())
        queue.PushRoot(root);
    while (!StopRequested && !queue.Empty())
        Examine(queue, queue.Take());
}

void TScanDrive::Examine(jre::ScanQueue& queue, const jre::ScanQueue::NodePtr& folder)
{
    const std::string path = jre::ScanQueue::PathOf(*folder);
    // A link or junction back to a folder above it on its path would never end: not entered.
    folder->key = win::IdentifyFolder(path);
    if (folder->key && jre::ScanQueue::RepeatsAnAncestor(*folder, *folder->key))
        return;
    CurrentFolder = path;
    Notify(ReportProgress);
    WIN32_FIND_DATAA entry;
    if (win::UniqueFindHandle find(::FindFirstFileA((path + "*.*").c_str(), &entry)); find) {
        do {
            const std::string name = entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
                queue.PushChild(folder, name);
        } while (::FindNextFileA(find.get(), &entry));
    }
    ::Sleep(1);
    if (win::UniqueFindHandle find(::FindFirstFileA((path + kLauncherName).c_str(), &entry)); find) {
        CurrentFolder = path;
        Notify(ReportFind);
    }
    ::Sleep(1);
}

void TScanDrive::Notify(Notice notice) { TfrmScan::Deliver(notice, *this); }
