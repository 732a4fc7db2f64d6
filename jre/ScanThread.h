// The drive scan worker: walks every fixed drive breadth first and reports each folder that holds
// a javaw.exe entry to the open Select JRE dialog, always through a message sent to the dialog's
// thread and waited for, never by touching the dialog itself.
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

class TScanDrive {
public:
    // The notices, as the wParam of the message the worker sends to the dialog.
    enum Notice : WPARAM { ReportProgress, ReportFind, ScanFinished };

    // A worker that has not started yet; it frees itself once its body has returned.
    static TScanDrive* CreateSuspended();
    TScanDrive(const TScanDrive&) = delete;
    TScanDrive& operator=(const TScanDrive&) = delete;
    void Resume();

    // The folder the next notice hands over; written by the worker only between notices.
    std::string CurrentFolder;
    // How many folders have been examined so far; written by the worker only between notices.
    std::size_t FoldersExamined = 0;
    // Set once by the dialog; the worker looks at it before each folder.
    std::atomic<bool> StopRequested{false};

    // Progress goes to the dialog at most once per this interval, as often as a person can see it
    // change; the folder of a find is always shown before the find. Tests set 0 to see each folder.
    static std::chrono::milliseconds ProgressInterval;

    // Test seams: the roots to scan in place of the fixed drives; and, for a folder's path, how
    // many entries its listing delivers before it fails (nullopt: it does not fail).
    static std::function<std::vector<std::string>()> RootsForTests;
    static std::function<std::optional<std::size_t>(const std::string& folder)> ListingFailureForTests;

private:
    TScanDrive() = default;
    ~TScanDrive();
    static DWORD WINAPI ThreadStart(LPVOID parameter);
    void Execute();
    void Scan();
    void Examine(jre::ScanQueue& queue, jre::ScanQueue::Index folder);
    bool RepeatsAnAncestor(jre::ScanQueue& queue, jre::ScanQueue::Index folder, HANDLE handle);
    void ShowProgress(const std::string& folder);
    void HandOverPendingProgress();
    void Notify(Notice notice);

    HANDLE thread_ = nullptr;
    // The folder examined last, when its progress has not been handed over yet (else empty): it
    // waits for the next hand-over, a find or the end.
    std::string pendingProgress_;
    std::chrono::steady_clock::time_point lastProgress_{};
};

// The fixed drives' roots ("C:\"), in letter order.
std::vector<std::string> FixedDrives();
