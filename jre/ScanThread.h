// The drive scan worker: walks every fixed drive breadth first and reports each folder that holds
// a javaw.exe entry to the open Select JRE dialog, always through a message sent to the dialog's
// thread and waited for, never by touching the dialog itself.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "jre/ScanQueue.h"

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
    // Set once by the dialog; the worker looks at it before each folder.
    std::atomic<bool> StopRequested{false};

    // Test seam: the roots to scan in place of the fixed drives.
    static std::function<std::vector<std::string>()> RootsForTests;

private:
    TScanDrive() = default;
    ~TScanDrive();
    static DWORD WINAPI ThreadStart(LPVOID parameter);
    void Execute();
    void Scan();
    void Examine(jre::ScanQueue& queue, const jre::ScanQueue::NodePtr& folder);
    void Notify(Notice notice);

    HANDLE thread_ = nullptr;
};

// The fixed drives' roots ("C:\"), in letter order.
std::vector<std::string> FixedDrives();
