// The drive scan worker: walks every fixed drive breadth first and reports each folder that holds
// a javaw.exe entry to the window that started it, always through a message sent to that window's
// thread and waited for, never by touching the window itself.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ScanQueue.h"

// What a scan may be told beyond the defaults; tests replace the drives and the listings.
struct DriveScanOptions {
    // The roots to scan; the fixed drives while empty.
    std::function<std::vector<std::string>()> roots;
    // For a folder's path, how many entries its listing delivers before it fails (nullopt: it
    // does not fail); every listing runs to its end while empty.
    std::function<std::optional<std::size_t>(const std::string& folder)> listingFailure;
    // Progress goes to the window at most once per this interval, as often as a person can see it
    // change; the folder of a find is always shown before the find. 0 shows each folder.
    std::chrono::milliseconds progressInterval{15};
};

class DriveScan {
public:
    // The notices, as the wParam of the notice message; its lParam is the worker.
    enum Notice : WPARAM { ReportProgress, ReportFind, ScanFinished };

    // A worker that has not started yet; it frees itself once its body has returned, after it sent
    // ScanFinished. It sends noticeMessage for each notice, and failedMessage with a
    // win::CaughtException* as its lParam when it fails, to the window, and waits for each.
    static DriveScan* CreateSuspended(HWND window, UINT noticeMessage, UINT failedMessage,
                                      DriveScanOptions options = {});
    DriveScan(const DriveScan&) = delete;
    DriveScan& operator=(const DriveScan&) = delete;
    void Resume();

    // The folder the next notice hands over; written by the worker only between notices.
    std::string CurrentFolder;
    // How many folders have been examined so far; written by the worker only between notices.
    std::size_t FoldersExamined = 0;
    // Set once by the window; the worker looks at it before each folder.
    std::atomic<bool> StopRequested{false};

private:
    DriveScan(HWND window, UINT noticeMessage, UINT failedMessage, DriveScanOptions options)
        : window_(window), noticeMessage_(noticeMessage), failedMessage_(failedMessage), options_(std::move(options))
    {
    }
    ~DriveScan();
    static DWORD WINAPI ThreadStart(LPVOID parameter);
    void Execute();
    void Scan();
    void Examine(jre::ScanQueue& queue, jre::ScanQueue::Index folder);
    bool RepeatsAnAncestor(jre::ScanQueue& queue, jre::ScanQueue::Index folder, HANDLE handle);
    void ShowProgress(const std::string& folder);
    void HandOverPendingProgress();
    void Notify(Notice notice);

    HWND window_;
    UINT noticeMessage_;
    UINT failedMessage_;
    DriveScanOptions options_;
    HANDLE thread_ = nullptr;
    // The folder examined last, when its progress has not been handed over yet (else empty): it
    // waits for the next hand-over, a find or the end.
    std::string pendingProgress_;
    std::chrono::steady_clock::time_point lastProgress_{};
};

// The fixed drives' roots ("C:\"), in letter order.
std::vector<std::string> FixedDrives();
