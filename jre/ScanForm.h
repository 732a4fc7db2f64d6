// The Select JRE dialog: runs the drive scan while it is open, shows the folder being examined,
// lists every folder found to hold javaw.exe and lets the user pick one.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jre/ScanThread.h"
#include "ui/Dialog.h"
#include "win/ExceptionHook.h"
#include "win/Handles.h"

class TfrmScan : public win::Dialog {
public:
    TfrmScan();

    // The folder chosen in the list, with its trailing backslash; empty while none is selected.
    const std::string& SelectedJrePath() const { return selectedJrePath_; }
    bool Scanning() const { return Scanner != nullptr; }
    // Asks the running scan to stop after the folder in progress.
    void StopScan();

    void FormShow();
    void AddFind(const std::string& folder);
    void ScanFinished();
    void lbxPathsClick();
    void lbxPathsDblClick();

    // Runs a worker's notice on the dialog's thread; the worker waits for it.
    static void Deliver(TScanDrive::Notice notice, TScanDrive& scanner);
    // Hands a failure inside the worker to the exception hook on the dialog's thread.
    static void HandOverFailure(const win::CaughtException& caught);

    // Test seam: sees every notice on the dialog's thread, with the worker that sends it.
    static std::function<void(TScanDrive::Notice, const TScanDrive&)> NoticeProbe;
    // Test seam: where the pointer is, in screen coordinates, instead of the real cursor.
    static std::function<POINT()> PointerForTests;
    // The timer that looks, while finds wait, whether the pointer has left the list.
    static constexpr UINT_PTR kPointerCheckTimer = 1;

protected:
    bool FormCreate() override;
    bool FormCloseQuery(INT_PTR result) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    static constexpr UINT WM_SCAN_START = WM_APP + 10;
    static constexpr UINT WM_SCAN_NOTICE = WM_APP + 11;
    static constexpr UINT WM_SCAN_FAILED = WM_APP + 12;

    void OnNotice(TScanDrive::Notice notice, const TScanDrive& scanner);
    void InsertFind(const std::string& path);
    bool PointerOnList() const;
    void InsertWaitingFindsOnceThePointerLeaves();
    void WaitForScanEnd();
    RECT PanelInside() const;
    void RepaintPanel();

    TScanDrive* Scanner = nullptr;
    // The found folders, by the list items' data; and finds held back while the pointer is on the list.
    std::vector<std::string> finds_, waitingFinds_;
    std::string selectedJrePath_;
    bool closing_ = false;
    win::UniqueHFont boldFont_;
    win::UniqueGdiObject white_;
};

// The one open Select JRE dialog, through which the worker reaches it.
extern TfrmScan* frmScan;

// Shows the Select JRE dialog owned by the given window; the chosen folder after OK.
std::optional<std::string> SelectJre(HWND owner);
