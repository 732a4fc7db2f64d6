// The Select JRE dialog: runs the drive scan while it is open, shows the folder being examined,
// lists every folder found to hold javaw.exe and lets the user pick one.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jre/DriveScan.h"
#include "ui/Dialog.h"
#include "win/ExceptionHook.h"
#include "win/Handles.h"

class DriveScanDialog : public win::Dialog {
public:
    // What tests replace: the scan's drives and listings, a look at every notice on the dialog's
    // thread with the worker that sends it, and where the pointer is (in screen coordinates).
    struct Seams {
        DriveScanOptions scan;
        std::function<void(DriveScan::Notice, const DriveScan&)> onNotice;
        std::function<POINT()> pointer;
    };

    explicit DriveScanDialog(Seams seams = {});

    // The folder chosen in the list, with its trailing backslash; empty while none is selected.
    const std::string& SelectedJrePath() const { return selectedJrePath_; }
    bool Scanning() const { return scanner_ != nullptr; }
    // Asks the running scan to stop after the folder in progress.
    void StopScan();

    void StartScan();
    void AddFind(const std::string& folder);
    void ScanFinished();
    void OnPathSelected();
    void OnPathChosen();

    // The timer that looks, while finds wait, whether the pointer has left the list.
    static constexpr UINT_PTR kPointerCheckTimer = 1;

protected:
    bool OnCreate() override;
    bool CanClose(INT_PTR result) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    static constexpr UINT WM_SCAN_START = WM_APP + 10;
    static constexpr UINT WM_SCAN_NOTICE = WM_APP + 11;
    static constexpr UINT WM_SCAN_FAILED = WM_APP + 12;

    void OnNotice(DriveScan::Notice notice, const DriveScan& scanner);
    void InsertFind(const std::string& path);
    bool PointerOnList() const;
    void InsertWaitingFindsOnceThePointerLeaves();
    void WaitForScanEnd();
    RECT PanelInside() const;
    void RepaintPanel();

    Seams seams_;
    DriveScan* scanner_ = nullptr;
    // The found folders, by the list items' data; and finds held back while the pointer is on the list.
    std::vector<std::string> finds_, waitingFinds_;
    std::string selectedJrePath_;
    bool closing_ = false;
    win::UniqueHFont boldFont_;
    win::UniqueGdiObject white_;
};

// Shows the Select JRE dialog owned by the given window; the chosen folder after OK.
std::optional<std::string> SelectJre(HWND owner, DriveScanDialog::Seams seams = {});
