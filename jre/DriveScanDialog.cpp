#include "jre/DriveScanDialog.h"

#include <commctrl.h>

#include <optional>
#include <utility>

#include "core/Text.h"
#include "jre/JavaDiscovery.h"
#include "res/resource.h"
#include "win/ExceptionHook.h"
#include "ui/Fonts.h"
#include "win/MessagePump.h"

namespace {

constexpr const char* kNoItems = "There are no items to show in this view";
constexpr UINT kMarqueeMs = 30;
// How often a waiting find looks whether the pointer has left the list.
constexpr UINT kPointerCheckMs = 100;
// The controls that stand on the white panel.
constexpr int kPanelControls[] = {IDC_SCAN_STATUS, IDC_SCAN_PATH};

}  // namespace

DriveScanDialog::DriveScanDialog(Seams seams) : win::Dialog(IDD_SCAN, "Java_Runtime.htm"), seams_(std::move(seams)) {}

bool DriveScanDialog::OnCreate()
{
    CenterOverOwner();
    boldFont_.reset(win::CreateBoldFontOf(Item(IDC_SCAN_STATUS)));
    ::SendMessageA(Item(IDC_SCAN_STATUS), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), FALSE);
    white_.reset(::CreateSolidBrush(RGB(255, 255, 255)));
    // The scan starts once the dialog shows.
    ::PostMessageA(Handle(), WM_SCAN_START, 0, 0);
    return true;
}

void DriveScanDialog::StartScan()
{
    ::SendMessageA(Item(IDC_SCAN_ANIMATION), PBM_SETMARQUEE, TRUE, kMarqueeMs);
    scanner_ = DriveScan::CreateSuspended(Handle(), WM_SCAN_NOTICE, WM_SCAN_FAILED, seams_.scan);
    scanner_->Resume();
}

// While the pointer is on a list with lines, finds wait, so that no line moves under it; a timer looks
// where the pointer is until it has left, and then they go in. Otherwise a find above the top
// line scrolls the list with it, so the lines in view stay where they are. The pointer is looked
// up rather than followed by leave notices, which are not sent when it has already gone by the
// time tracking would start.
void DriveScanDialog::AddFind(const std::string& folder)
{
    const std::string path = text::IncludeTrailingBackslash(folder);
    ::ShowWindow(Item(IDC_SCAN_PATHS), SW_SHOW);
    if (!finds_.empty() && PointerOnList()) {
        waitingFinds_.push_back(path);
        ::SetTimer(Handle(), kPointerCheckTimer, kPointerCheckMs, nullptr);
        return;
    }
    InsertWaitingFindsOnceThePointerLeaves();
    InsertFind(path);
}

bool DriveScanDialog::PointerOnList() const
{
    POINT pointer{};
    if (seams_.pointer)
        pointer = seams_.pointer();
    else if (!::GetCursorPos(&pointer))
        return false;
    HWND list = Item(IDC_SCAN_PATHS);
    return ::IsWindowVisible(list) && ::WindowFromPoint(pointer) == list;
}

void DriveScanDialog::InsertFind(const std::string& path)
{
    HWND list = Item(IDC_SCAN_PATHS);
    const std::string version = jre::RuntimeVersion(path);
    const std::string shown = version.empty() ? path : path + "   (" + version + ")";
    const auto top = ::SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    const auto index = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    if (index < 0)
        return;
    finds_.push_back(path);
    ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(finds_.size() - 1));
    if (index < top || (index == top && top > 0))
        ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(top + 1), 0);
}

void DriveScanDialog::InsertWaitingFindsOnceThePointerLeaves()
{
    if (waitingFinds_.empty() || PointerOnList())
        return;
    ::KillTimer(Handle(), kPointerCheckTimer);
    for (const std::string& path : std::exchange(waitingFinds_, {}))
        InsertFind(path);
}

// The panel's inside, in the dialog's client coordinates.
RECT DriveScanDialog::PanelInside() const
{
    HWND panel = Item(IDC_SCAN_PANEL);
    RECT inside{};
    ::GetClientRect(panel, &inside);
    ::MapWindowPoints(panel, Handle(), reinterpret_cast<POINT*>(&inside), 2);
    return inside;
}

// The end state shows either the list over the whole panel or the status line alone, never one
// over the other: a label repaints over a sibling list that covers it.
void DriveScanDialog::ScanFinished()
{
    HWND animation = Item(IDC_SCAN_ANIMATION);
    ::SendMessageA(animation, PBM_SETMARQUEE, FALSE, 0);
    ::ShowWindow(animation, SW_HIDE);
    ::ShowWindow(Item(IDC_SCAN_PATH), SW_HIDE);
    HWND list = Item(IDC_SCAN_PATHS);
    const bool anyFind = ::SendMessageA(list, LB_GETCOUNT, 0, 0) > 0 || !waitingFinds_.empty();
    const RECT inside = PanelInside();
    ::SetWindowPos(list, HWND_TOP, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top,
                   SWP_NOACTIVATE);
    ::ShowWindow(list, anyFind ? SW_SHOW : SW_HIDE);
    ::SetDlgItemTextA(Handle(), IDC_SCAN_STATUS, kNoItems);
    ::ShowWindow(Item(IDC_SCAN_STATUS), anyFind ? SW_HIDE : SW_SHOW);
    RepaintPanel();
    scanner_ = nullptr;
}

// The panel and what stands on it are drawn anew, so that nothing of a hidden control stays.
void DriveScanDialog::RepaintPanel()
{
    RECT panel{};
    ::GetWindowRect(Item(IDC_SCAN_PANEL), &panel);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&panel), 2);
    ::RedrawWindow(Handle(), &panel, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DriveScanDialog::OnPathSelected()
{
    HWND list = Item(IDC_SCAN_PATHS);
    const auto selected = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    selectedJrePath_.clear();
    if (selected != LB_ERR) {
        // The line shows the version too; the item keeps the folder itself.
        const auto find =
            static_cast<std::size_t>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
        if (find < finds_.size())
            selectedJrePath_ = finds_[find];
    }
    ::EnableWindow(Item(IDOK), selected != LB_ERR ? TRUE : FALSE);
}

// A double-click on a found folder chooses it, as OK does.
void DriveScanDialog::OnPathChosen()
{
    OnPathSelected();
    if (!selectedJrePath_.empty())
        RequestClose(IDOK);
}

void DriveScanDialog::StopScan()
{
    if (scanner_ != nullptr)
        scanner_->StopRequested = true;
}

// Every way of closing passes here: a running scan is stopped, and the dialog waits for its
// completion notice while serving the worker's hand-offs, which only run while this thread
// processes messages.
bool DriveScanDialog::CanClose(INT_PTR)
{
    if (closing_)
        return false;
    closing_ = true;
    StopScan();
    WaitForScanEnd();
    closing_ = false;
    return true;
}

void DriveScanDialog::WaitForScanEnd()
{
    std::optional<int> quit;
    while (scanner_ != nullptr) {
        win::DispatchPending(quit, Handle());
        if (scanner_ != nullptr)
            ::Sleep(1);
    }
    win::RepostQuit(quit);
}

void DriveScanDialog::OnNotice(DriveScan::Notice notice, const DriveScan& scanner)
{
    if (seams_.onNotice)
        seams_.onNotice(notice, scanner);
    switch (notice) {
        case DriveScan::ReportProgress:
            ::SetDlgItemTextA(Handle(), IDC_SCAN_PATH, scanner.CurrentFolder.c_str());
            break;
        case DriveScan::ReportFind:
            AddFind(scanner.CurrentFolder);
            break;
        case DriveScan::ScanFinished:
            ScanFinished();
            break;
    }
}

bool DriveScanDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
        case WM_SCAN_START:
            StartScan();
            return true;
        case WM_SCAN_NOTICE:
            OnNotice(static_cast<DriveScan::Notice>(wParam), *reinterpret_cast<const DriveScan*>(lParam));
            return true;
        case WM_SCAN_FAILED:
            win::HandleException(*reinterpret_cast<const win::CaughtException*>(lParam));
            return true;
        case WM_TIMER:
            if (wParam != kPointerCheckTimer)
                return false;
            InsertWaitingFindsOnceThePointerLeaves();
            return true;
        case WM_CTLCOLORSTATIC: {
            const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            for (int onPanel : kPanelControls) {
                if (id == onPanel) {
                    ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                    result = reinterpret_cast<INT_PTR>(white_.get());
                    return true;
                }
            }
            return false;
        }
        default:
            return false;
    }
}

bool DriveScanDialog::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_SCAN_PATHS) {
        if (code == LBN_SELCHANGE)
            OnPathSelected();
        else if (code == LBN_DBLCLK)
            OnPathChosen();
        return true;
    }
    return win::Dialog::OnCommand(id, code, control);
}

std::optional<std::string> SelectJre(HWND owner, DriveScanDialog::Seams seams)
{
    DriveScanDialog dialog(std::move(seams));
    if (dialog.ShowModal(owner) != IDOK)
        return std::nullopt;
    return dialog.SelectedJrePath();
}
