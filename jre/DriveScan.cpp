#include "jre/DriveScan.h"

#include <new>
#include <string_view>

#include "core/Text.h"
#include "win/ExceptionHook.h"
#include "win/Handles.h"
#include "win/FolderIds.h"
#include "win/LazyApi.h"
#include "win/Paths.h"

namespace {

constexpr const char* kLauncherName = "javaw.exe";
constexpr const wchar_t* kLauncherNameW = L"javaw.exe";

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

// Lists an open folder: onEntry gets each entry's name, converted only for folders (empty for
// other entries), whether it is a folder and whether it is the launcher. True when the listing
// reached its end; false when it failed at any point, also after delivering some entries.
// failAfter, a test seam, makes it fail after that many entries.
template <typename OnEntry>
bool ListFolder(HANDLE folder, std::optional<std::size_t> failAfter, OnEntry onEntry)
{
    alignas(8) static thread_local BYTE buffer[64 * 1024];
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    std::size_t delivered = 0;
    while (::GetFileInformationByHandleEx(folder, kind, buffer, sizeof(buffer))) {
        kind = FileIdBothDirectoryInfo;
        for (auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);;
             entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const BYTE*>(entry) +
                                                                    entry->NextEntryOffset)) {
            if (failAfter && delivered++ == *failAfter)
                return false;
            const int wideLength = static_cast<int>(entry->FileNameLength / sizeof(WCHAR));
            const bool isFolder = (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool isLauncher =
                ::CompareStringOrdinal(entry->FileName, wideLength, kLauncherNameW, -1, TRUE) == CSTR_EQUAL;
            char name[MAX_PATH * 2];
            int length = 0;
            if (isFolder)
                length =
                    ::WideCharToMultiByte(CP_ACP, 0, entry->FileName, wideLength, name, sizeof(name), nullptr, nullptr);
            onEntry(std::string_view(name, static_cast<std::size_t>(length > 0 ? length : 0)), isFolder, isLauncher);
            if (entry->NextEntryOffset == 0)
                break;
        }
    }
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

// Whether the folder at the path is the open folder: the same identity and, where two file systems
// mounted inside one another read alike, the same path once links are resolved.
bool SameFolder(const std::string& path, HANDLE open, const std::optional<win::FileIdentity>& identity)
{
    const win::UniqueHandle folder = win::OpenForAttributes(path);
    if (!folder || !identity || win::IdentityOf(folder.get()) != identity)
        return false;
    const auto there = win::FinalPathOf(folder.get());
    const auto here = win::FinalPathOf(open);
    // Without the resolved paths the identity alone decides: the scan must end.
    return !there || !here || text::EqualsNoCase(*there, *here);
}

}  // namespace

std::vector<std::string> FixedDrives()
{
    return jre::FixedDriveRoots(::GetLogicalDrives(),
                                [](const std::string& root) { return ::GetDriveTypeA(root.c_str()) == DRIVE_FIXED; });
}

DriveScan* DriveScan::CreateSuspended(HWND window, UINT noticeMessage, UINT failedMessage, DriveScanOptions options)
{
    auto* worker = new DriveScan(window, noticeMessage, failedMessage, std::move(options));
    worker->thread_ = ::CreateThread(nullptr, 0, &DriveScan::ThreadStart, worker, CREATE_SUSPENDED, nullptr);
    if (worker->thread_ == nullptr) {
        delete worker;
        throw std::bad_alloc();
    }
    return worker;
}

DriveScan::~DriveScan()
{
    if (thread_ != nullptr)
        ::CloseHandle(thread_);
}

void DriveScan::Resume() { ::ResumeThread(thread_); }

DWORD WINAPI DriveScan::ThreadStart(LPVOID parameter)
{
    auto* self = static_cast<DriveScan*>(parameter);
    self->Execute();
    delete self;
    return 0;
}

// ScanFinished comes exactly once, whatever ended the loop: the queue emptied, a stop, memory
// running out while the queue grows, or any other failure. The label shows the last folder
// examined before it.
void DriveScan::Execute()
{
    try {
        Scan();
    } catch (const std::bad_alloc&) {
        // The scan ends with what it has found.
    } catch (...) {
        const win::CaughtException caught = win::CaughtException::Current();
        ::SendMessageA(window_, failedMessage_, 0, reinterpret_cast<LPARAM>(&caught));
    }
    HandOverPendingProgress();
    Notify(ScanFinished);
}

void DriveScan::Scan()
{
    FineTimer timer;
    jre::ScanQueue queue;
    for (const auto& root : options_.roots ? options_.roots() : FixedDrives())
        queue.PushRoot(root);
    while (!StopRequested && !queue.Empty())
        Examine(queue, queue.Take());
}

// One handle per folder serves its fingerprint, its listing and the launcher test: each call that
// reaches the file system is dear (under Wine a server round trip), and the two sleeps are meant
// to be most of a folder's cost.
void DriveScan::Examine(jre::ScanQueue& queue, jre::ScanQueue::Index folder)
{
    const std::string path = queue.PathOf(folder);
    win::UniqueHandle handle(::CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // A link or junction back to a folder above it on its path would never end: not entered.
    if (handle && RepeatsAnAncestor(queue, folder, handle.get()))
        return;
    ++FoldersExamined;
    ShowProgress(path);
    bool launcherListed = false;
    const auto failAfter = options_.listingFailure ? options_.listingFailure(path) : std::nullopt;
    const bool listed =
        handle && ListFolder(handle.get(), failAfter, [&](std::string_view name, bool isFolder, bool isLauncher) {
            if (isFolder && !name.empty() && name != "." && name != "..")
                queue.PushChild(folder, name);
            launcherListed = launcherListed || isLauncher;
        });
    ::Sleep(1);
    // A folder whose listing failed, at its start or part-way, may still be looked into by name.
    WIN32_FIND_DATAA entry;
    if (!listed && !launcherListed)
        launcherListed =
            static_cast<bool>(win::UniqueFindHandle(::FindFirstFileA((path + kLauncherName).c_str(), &entry)));
    if (launcherListed) {
        HandOverPendingProgress();
        CurrentFolder = path;
        Notify(ReportFind);
    }
    ::Sleep(1);
}

// Whether the open folder is one of the folders above it on its path: the same fingerprint, the
// same identity in its file system and volume, and the same path once links are resolved. The
// fingerprint, read from every folder, rules out almost every ancestor; only where it matches is
// the identity read, of both folders, which can cost a call into another process.
bool DriveScan::RepeatsAnAncestor(jre::ScanQueue& queue, jre::ScanQueue::Index folder, HANDLE handle)
{
    const auto fingerprint = win::FolderFingerprint(handle);
    if (!fingerprint)
        return false;
    queue.SetFingerprint(folder, *fingerprint);
    std::optional<win::FileIdentity> identity;
    return queue.AnyAncestor(folder, [&](jre::ScanQueue::Index ancestor) {
        if (queue.Fingerprint(ancestor) != *fingerprint)
            return false;
        if (!identity)
            identity = win::IdentityOf(handle);
        return SameFolder(queue.PathOf(ancestor), handle, identity);
    });
}

void DriveScan::ShowProgress(const std::string& folder)
{
    pendingProgress_ = folder;
    if (std::chrono::steady_clock::now() - lastProgress_ >= options_.progressInterval)
        HandOverPendingProgress();
}

void DriveScan::HandOverPendingProgress()
{
    if (pendingProgress_.empty())
        return;
    CurrentFolder.swap(pendingProgress_);
    pendingProgress_.clear();
    Notify(ReportProgress);
    lastProgress_ = std::chrono::steady_clock::now();
}

void DriveScan::Notify(Notice notice)
{
    ::SendMessageA(window_, noticeMessage_, notice, reinterpret_cast<LPARAM>(this));
}
