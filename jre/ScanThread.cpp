#include "jre/ScanThread.h"

#include <new>

#include "core/Text.h"
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

// Every entry of an open folder, with its long name and whether it is a folder; false when the
// folder cannot be listed.
template <typename OnEntry>
bool ListFolder(HANDLE folder, OnEntry onEntry)
{
    alignas(8) static thread_local BYTE buffer[64 * 1024];
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    bool any = false;
    while (::GetFileInformationByHandleEx(folder, kind, buffer, sizeof(buffer))) {
        kind = FileIdBothDirectoryInfo;
        any = true;
        for (auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);;
             entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const BYTE*>(entry) +
                                                                    entry->NextEntryOffset)) {
            char name[MAX_PATH * 2] = {};
            const int length = ::WideCharToMultiByte(CP_ACP, 0, entry->FileName,
                                                     static_cast<int>(entry->FileNameLength / sizeof(WCHAR)), name,
                                                     sizeof(name) - 1, nullptr, nullptr);
            onEntry(std::string(name, static_cast<std::size_t>(length > 0 ? length : 0)),
                    (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
            if (entry->NextEntryOffset == 0)
                break;
        }
    }
    return any || ::GetLastError() == ERROR_NO_MORE_FILES;
}

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

// One handle per folder serves its identity, its listing and the launcher test: each call that
// reaches the file system is dear (under Wine a server round trip), and the two sleeps are meant
// to be most of a folder's cost.
void TScanDrive::Examine(jre::ScanQueue& queue, const jre::ScanQueue::NodePtr& folder)
{
    const std::string path = jre::ScanQueue::PathOf(*folder);
    win::UniqueHandle handle(::CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // A link or junction back to a folder above it on its path would never end: not entered.
    folder->key = handle ? win::IdentifyOpenFolder(handle.get()) : std::nullopt;
    if (folder->key && jre::ScanQueue::RepeatsAnAncestor(*folder, *folder->key))
        return;
    CurrentFolder = path;
    Notify(ReportProgress);
    bool launcherListed = false;
    const bool listed = handle && ListFolder(handle.get(), [&](const std::string& name, bool isFolder) {
                            if (isFolder && name != "." && name != "..")
                                queue.PushChild(folder, name);
                            launcherListed = launcherListed || text::EqualsNoCase(name, kLauncherName);
                        });
    ::Sleep(1);
    // A folder that cannot be listed may still be looked into by name.
    WIN32_FIND_DATAA entry;
    if (!listed)
        launcherListed =
            static_cast<bool>(win::UniqueFindHandle(::FindFirstFileA((path + kLauncherName).c_str(), &entry)));
    if (launcherListed) {
        CurrentFolder = path;
        Notify(ReportFind);
    }
    ::Sleep(1);
}

void TScanDrive::Notify(Notice notice) { TfrmScan::Deliver(notice, *this); }
