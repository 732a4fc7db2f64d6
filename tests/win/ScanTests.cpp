// The drive scan and the Select JRE dialog, against the fixture drives M: and N: that the test
// prefix maps (see scripts/lib.sh): M:\javaw.exe, M:\Java\jre1\bin\javaw.exe, a folder
// M:\Tools\javaw.exe, M:\loop\up linking back to M:\, N:\jdk\bin\javaw.exe,
// N:\deep\a\b\c\bin\javaw.exe and N:\alias linking to M:\Java.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <thread>

#include "jre/DriveScanDialog.h"
#include "res/resource.h"
#include "tests/win/TestSupport.h"
#include "win/FolderIds.h"
#include "win/Paths.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

struct Seen {
    DriveScan::Notice notice;
    std::string folder;
    bool operator==(const Seen&) const = default;
};

std::size_t Depth(const std::string& folder) { return std::count(folder.begin(), folder.end(), '\\'); }

class ScanTest : public ::testing::Test {
protected:
    // The dialog's seams, read from the fixture whenever the dialog or its worker asks.
    DriveScanDialog::Seams Seams()
    {
        DriveScanDialog::Seams seams;
        seams.scan.roots = [this] { return roots_(); };
        seams.scan.listingFailure = [this](const std::string& folder) -> std::optional<std::size_t> {
            return listingFailure_ ? listingFailure_(folder) : std::nullopt;
        };
        seams.scan.progressInterval = progressInterval_;
        seams.onNotice = [this](DriveScan::Notice notice, const DriveScan& scanner) {
            seen_.push_back({notice, scanner.CurrentFolder});
            shownAt_.push_back(std::chrono::steady_clock::now());
            examined_ = scanner.FoldersExamined;
            if (onNotice_)
                onNotice_(notice, scanner.CurrentFolder);
        };
        seams.pointer = [this] { return pointer_(); };
        return seams;
    }
    void TearDown() override { dialog_.reset(); }
    DriveScanDialog& Open()
    {
        dialog_ = std::make_unique<DriveScanDialog>(Seams());
        EXPECT_NE(dialog_->CreateModeless(nullptr), nullptr);
        return *dialog_;
    }
    bool WaitFinished()
    {
        return WaitUntil([&] { return !seen_.empty() && seen_.back().notice == DriveScan::ScanFinished; }, 30s);
    }
    std::vector<std::string> Folders(DriveScan::Notice notice) const
    {
        std::vector<std::string> folders;
        for (const auto& s : seen_)
            if (s.notice == notice)
                folders.push_back(s.folder);
        return folders;
    }
    std::vector<std::string> ListItems() const
    {
        std::vector<std::string> items;
        HWND list = dialog_->Item(IDC_SCAN_PATHS);
        for (LRESULT i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
            char text[MAX_PATH] = {};
            ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    // The dialog is not shown in these tests: a control's own style tells whether it shows.
    bool Visible(int id) const { return (::GetWindowLongA(dialog_->Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }

    std::vector<Seen> seen_;
    std::vector<std::chrono::steady_clock::time_point> shownAt_;
    std::size_t examined_ = 0;
    std::function<void(DriveScan::Notice, const std::string&)> onNotice_;
    std::function<std::vector<std::string>()> roots_ = [] { return std::vector<std::string>{"M:\\", "N:\\"}; };
    std::function<std::optional<std::size_t>(const std::string&)> listingFailure_;
    std::chrono::milliseconds progressInterval_ = 0ms;  // every folder is shown
    // Wherever the real pointer happens to rest, the lists of these tests are never under it.
    std::function<POINT()> pointer_ = [] { return POINT{-30000, -30000}; };
    std::unique_ptr<DriveScanDialog> dialog_;
};

// The dialog's pixels as the screen shows them, after the whole dialog has been drawn anew.
class ScreenPixels {
public:
    explicit ScreenPixels(HWND window)
    {
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        ::GetWindowRect(window, &area_);
        HDC screen = ::GetDC(nullptr);
        dc_ = ::CreateCompatibleDC(screen);
        bitmap_ = ::CreateCompatibleBitmap(screen, area_.right - area_.left, area_.bottom - area_.top);
        previous_ = ::SelectObject(dc_, bitmap_);
        ::BitBlt(dc_, 0, 0, area_.right - area_.left, area_.bottom - area_.top, screen, area_.left, area_.top, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
    }
    ~ScreenPixels()
    {
        ::SelectObject(dc_, previous_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    ScreenPixels(const ScreenPixels&) = delete;
    ScreenPixels& operator=(const ScreenPixels&) = delete;
    // How many pixels of the control's place, in screen coordinates, satisfy the test.
    template <typename Test>
    int Count(const RECT& place, Test test) const
    {
        int count = 0;
        for (LONG y = place.top; y < place.bottom; ++y)
            for (LONG x = place.left; x < place.right; ++x)
                count += test(::GetPixel(dc_, x - area_.left, y - area_.top)) ? 1 : 0;
        return count;
    }

private:
    RECT area_{};
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

bool Dark(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128; }

RECT ScreenRectOf(HWND control)
{
    RECT place{};
    ::GetWindowRect(control, &place);
    return place;
}

}  // namespace

TEST_F(ScanTest, TheFixedDrivesAreTheFixtureDrivesAmongOthersInLetterOrder)
{
    const auto drives = FixedDrives();
    const auto m = std::find(drives.begin(), drives.end(), "M:\\");
    ASSERT_NE(m, drives.end());
    ASSERT_NE(m + 1, drives.end());
    EXPECT_EQ(*(m + 1), "N:\\");
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
}

TEST_F(ScanTest, WithoutFixedDrivesTheScanEndsAtOnceInItsEmptyState)
{
    roots_ = [] { return std::vector<std::string>{}; };
    Open();
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(seen_, (std::vector<Seen>{{DriveScan::ScanFinished, ""}}));
    EXPECT_FALSE(Visible(IDC_SCAN_PATHS));
    EXPECT_FALSE(Visible(IDC_SCAN_PATH));
    EXPECT_TRUE(Visible(IDC_SCAN_STATUS));
    EXPECT_FALSE(Visible(IDC_SCAN_ANIMATION));
    EXPECT_EQ(dialog_->ItemText(IDC_SCAN_STATUS), "There are no items to show in this view");
    EXPECT_FALSE(::IsWindowEnabled(dialog_->Item(IDOK)));
    EXPECT_EQ(dialog_->ItemText(IDC_SCAN_LABEL1),
              "Below is a list of JREs installed on your system.  Some may be incomplete while others are older "
              "versions.  You may have to try each one to find a compatible version.");
}

TEST_F(ScanTest, FindsComeShallowFirstOncePerPathAndALinkBackToAnAncestorIsNotEntered)
{
    Open();
    ASSERT_TRUE(WaitFinished());
    const auto finds = Folders(DriveScan::ReportFind);
    const auto examined = Folders(DriveScan::ReportProgress);
    std::vector<std::string> sorted = finds;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted,
              (std::vector<std::string>{"M:\\", "M:\\Java\\jre1\\bin\\", "M:\\Tools\\", "N:\\alias\\jre1\\bin\\",
                                        "N:\\deep\\a\\b\\c\\bin\\", "N:\\jdk\\bin\\"}));
    EXPECT_TRUE(
        std::is_sorted(finds.begin(), finds.end(), [](const auto& a, const auto& b) { return Depth(a) < Depth(b); }));
    ASSERT_GE(examined.size(), 2u);
    EXPECT_EQ(examined[0], "M:\\");
    EXPECT_EQ(examined[1], "N:\\");
    EXPECT_TRUE(std::is_sorted(examined.begin(), examined.end(),
                               [](const auto& a, const auto& b) { return Depth(a) < Depth(b); }));
    EXPECT_NE(std::find(examined.begin(), examined.end(), "M:\\loop\\"), examined.end());
    EXPECT_EQ(std::find(examined.begin(), examined.end(), "M:\\loop\\up\\"), examined.end());
    // Each find is shown right after its folder's progress.
    for (std::size_t i = 0; i < seen_.size(); ++i) {
        if (seen_[i].notice == DriveScan::ReportFind) {
            EXPECT_EQ(seen_.at(i - 1), (Seen{DriveScan::ReportProgress, seen_[i].folder}));
        }
    }
    EXPECT_EQ(ListItems(), sorted);
    EXPECT_TRUE(Visible(IDC_SCAN_PATHS));
    EXPECT_FALSE(Visible(IDC_SCAN_STATUS));
    EXPECT_FALSE(Visible(IDC_SCAN_ANIMATION));
    EXPECT_FALSE(dialog_->Scanning());
}

TEST_F(ScanTest, AStopDuringAFolderFinishesThatFolderAndEndsTheScan)
{
    onNotice_ = [this](DriveScan::Notice notice, const std::string& folder) {
        if (notice == DriveScan::ReportProgress && folder == "M:\\")
            dialog_->StopScan();
    };
    Open();
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(seen_, (std::vector<Seen>{{DriveScan::ReportProgress, "M:\\"},
                                        {DriveScan::ReportFind, "M:\\"},
                                        {DriveScan::ScanFinished, "M:\\"}}));
}

TEST_F(ScanTest, OkOrADoubleClickDuringTheScanGiveTheSelectedFolderWhileCancelAndTheCloseBoxGiveNone)
{
    // Each folder takes a little longer, so that the choices are made while the scan runs.
    onNotice_ = [](DriveScan::Notice notice, const std::string&) {
        if (notice == DriveScan::ReportProgress)
            ::Sleep(30);
    };
    enum class Choice { Ok, DoubleClick, Cancel, CloseBox };
    for (Choice choice : {Choice::Ok, Choice::DoubleClick, Choice::Cancel, Choice::CloseBox}) {
        seen_.clear();
        bool scanningAtChoice = false;
        std::thread driver([&] {
            HWND dialog = nullptr;
            WaitUntil([&] {
                dialog = ::FindWindowA("#32770", "Select JRE");
                return dialog != nullptr && ::IsWindowVisible(::GetDlgItem(dialog, IDC_SCAN_PATHS));
            });
            scanningAtChoice = ::IsWindowVisible(::GetDlgItem(dialog, IDC_SCAN_ANIMATION)) != FALSE;
            HWND list = ::GetDlgItem(dialog, IDC_SCAN_PATHS);
            if (choice == Choice::Ok) {
                ::SendMessageA(list, LB_SETCURSEL, 0, 0);
                ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCAN_PATHS, LBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(list));
                ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            } else if (choice == Choice::DoubleClick) {
                ::SendMessageA(list, LB_SETCURSEL, 0, 0);
                ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SCAN_PATHS, LBN_DBLCLK),
                               reinterpret_cast<LPARAM>(list));
            } else if (choice == Choice::Cancel) {
                ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else {
                ::PostMessageA(dialog, WM_CLOSE, 0, 0);
            }
        });
        const auto chosen = SelectJre(nullptr, Seams());
        driver.join();
        EXPECT_TRUE(scanningAtChoice);
        const bool chooses = choice == Choice::Ok || choice == Choice::DoubleClick;
        EXPECT_EQ(chosen, chooses ? std::optional<std::string>("M:\\") : std::nullopt);
        ASSERT_FALSE(seen_.empty());
        EXPECT_EQ(seen_.back().notice, DriveScan::ScanFinished);
    }
}

TEST_F(ScanTest, AFileSystemMountedInsideAnotherIsEnteredThoughItsRootReadsTheSameIdentity)
{
    // The test prefix maps a folder with another file system mounted inside it; where it could mount
    // them, both are of one size and the inner one holds a link back up to its root.
    const std::string root = win::EnvironmentVariable("GRIDLARK_MOUNTED_ROOT");
    const std::string find = win::EnvironmentVariable("GRIDLARK_MOUNTED_FIND");
    const bool whole = !win::EnvironmentVariable("GRIDLARK_MOUNTED_WHOLE").empty();
    ASSERT_FALSE(root.empty());
    ASSERT_EQ(find.rfind(root, 0), 0u);
    const std::string mountRoot = find.substr(0, find.find('\\', root.size()) + 1);
    // The roots read the same volume serial and file id; only their volumes' sizes differ.
    const auto outer = win::IdentifyFolder(root), inner = win::IdentifyFolder(mountRoot);
    ASSERT_TRUE(outer && inner);
    EXPECT_TRUE(outer->volume == inner->volume && outer->id == inner->id) << "the mount no longer shows the fault";
    roots_ = [root] { return std::vector<std::string>{root}; };
    // Elsewhere the root is all of /dev: the scan stops at its find.
    onNotice_ = [this, whole](DriveScan::Notice notice, const std::string&) {
        if (notice == DriveScan::ReportFind && !whole)
            dialog_->StopScan();
    };
    Open();
    ASSERT_TRUE(WaitFinished());
    // The runtime once: the link back up to the inner root is not entered.
    EXPECT_EQ(Folders(DriveScan::ReportFind), std::vector<std::string>{find});
}

TEST_F(ScanTest, AFolderWhoseListingFailsPartWayIsStillTestedForTheLauncherByName)
{
    listingFailure_ = [](const std::string& folder) -> std::optional<std::size_t> {
        if (folder == "M:\\Java\\jre1\\bin\\")
            return 1;  // its first entry, ".", and then the failure
        return std::nullopt;
    };
    Open();
    ASSERT_TRUE(WaitFinished());
    const auto finds = Folders(DriveScan::ReportFind);
    EXPECT_NE(std::find(finds.begin(), finds.end(), "M:\\Java\\jre1\\bin\\"), finds.end());
}

TEST_F(ScanTest, ProgressIsHandedOverAtMostOncePer15MsYetShowsEachFindsFolderAndEndsOnTheLastFolder)
{
    Open();
    ASSERT_TRUE(WaitFinished());
    const auto everyFolder = Folders(DriveScan::ReportProgress);
    const auto examined = examined_;
    ASSERT_EQ(everyFolder.size(), examined);

    seen_.clear();
    shownAt_.clear();
    progressInterval_ = 15ms;
    Open();
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(examined_, examined);
    const auto shown = Folders(DriveScan::ReportProgress);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), everyFolder.back());
    auto next = everyFolder.begin();
    for (const auto& folder : shown) {  // in the order examined, none twice
        next = std::find(next, everyFolder.end(), folder);
        ASSERT_NE(next, everyFolder.end()) << folder;
        ++next;
    }
    std::optional<std::chrono::steady_clock::time_point> previous;
    for (std::size_t i = 0; i < seen_.size(); ++i) {
        if (seen_[i].notice != DriveScan::ReportProgress)
            continue;
        const bool beforeAFind = i + 1 < seen_.size() && seen_[i + 1].notice == DriveScan::ReportFind;
        const bool last = i + 1 < seen_.size() && seen_[i + 1].notice == DriveScan::ScanFinished;
        if (previous && !beforeAFind && !last) {
            EXPECT_GE(shownAt_[i] - *previous, 15ms) << seen_[i].folder;
        }
        previous = shownAt_[i];
    }
}

TEST_F(ScanTest, AfterAFullRepaintThePanelShowsTheListOrTheStatusLineAloneAndNothingOfTheBusyIndicator)
{
    for (const bool withFinds : {true, false}) {
        SCOPED_TRACE(withFinds ? "with finds" : "without finds");
        seen_.clear();
        if (!withFinds)
            roots_ = [] { return std::vector<std::string>{}; };
        DriveScanDialog& dialog = Open();
        ::SetWindowPos(dialog.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ASSERT_TRUE(WaitFinished());
        const RECT busy = ScreenRectOf(dialog.Item(IDC_SCAN_ANIMATION));
        RECT status = ScreenRectOf(dialog.Item(IDC_SCAN_STATUS));
        const ScreenPixels pixels(dialog.Handle());
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(pixels.Count(busy, [&](COLORREF c) { return c == face; }), 0);
        if (withFinds) {
            // The first line, "M:\", stands at the left; the status text would stand in the middle.
            status.left += (status.right - status.left) / 4;
            EXPECT_EQ(pixels.Count(status, Dark), 0);
        } else {
            EXPECT_GT(pixels.Count(status, Dark), 0);
        }
        dialog_.reset();
    }
}

TEST_F(ScanTest, TabMovesTheFocusWhileTheDialogWaitsForTheScanToStop)
{
    // The worker lingers in N:\, after M:\ has been found, so that the close has to wait.
    listingFailure_ = [](const std::string& folder) -> std::optional<std::size_t> {
        if (folder == "N:\\")
            ::Sleep(1000);
        return std::nullopt;
    };
    HWND focusAtTheEnd = nullptr;
    onNotice_ = [&](DriveScan::Notice notice, const std::string&) {
        if (notice == DriveScan::ScanFinished)
            focusAtTheEnd = ::GetFocus();
    };
    DriveScanDialog& dialog = Open();
    ::ShowWindow(dialog.Handle(), SW_SHOW);
    ASSERT_TRUE(WaitUntil([&] {
        return std::find(seen_.begin(), seen_.end(), Seen{DriveScan::ReportProgress, "N:\\"}) != seen_.end();
    }));
    ASSERT_TRUE(Visible(IDC_SCAN_PATHS));
    HWND cancel = dialog.Item(IDCANCEL);
    HWND list = dialog.Item(IDC_SCAN_PATHS);
    ::SetFocus(cancel);
    ::PostMessageA(cancel, WM_KEYDOWN, VK_TAB, 0);
    ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(focusAtTheEnd, list);
}

namespace {

// A runtime folder whose javaw.exe carries a version resource, or none.
std::string RuntimeFolder(const TempFolder& root, const char* name, bool versioned)
{
    const std::string folder = root / name + "\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileTo(StubsFolder() + (versioned ? "versioned.exe" : "javaw.exe"), folder + "javaw.exe");
    return folder;
}

}  // namespace

TEST_F(ScanTest, FindsShowTheirVersionAndAChosenLineGivesItsFolder)
{
    roots_ = [] { return std::vector<std::string>{}; };
    TempFolder root;
    const std::string versioned = RuntimeFolder(root, "a", true), plain = RuntimeFolder(root, "b", false);
    DriveScanDialog& dialog = Open();
    dialog.AddFind(plain);
    dialog.AddFind(versioned);
    EXPECT_EQ(ListItems(), (std::vector<std::string>{versioned + "   (1.0.25.3)", plain}));
    HWND list = dialog.Item(IDC_SCAN_PATHS);
    for (int line : {0, 1}) {
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
        ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_SCAN_PATHS, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
        EXPECT_EQ(dialog.SelectedJrePath(), line == 0 ? versioned : plain);
    }
}

TEST_F(ScanTest, AFindWaitsWhileThePointerIsOnTheListSoNoLineMovesUnderIt)
{
    roots_ = [] { return std::vector<std::string>{}; };
    TempFolder root;
    DriveScanDialog& dialog = Open();
    ::ShowWindow(dialog.Handle(), SW_SHOW);
    HWND list = dialog.Item(IDC_SCAN_PATHS);
    RECT panel{};
    ::GetWindowRect(list, &panel);
    POINT pointer{(panel.left + panel.right) / 2, (panel.top + panel.bottom) / 2};
    pointer_ = [&] { return pointer; };

    dialog.AddFind(root / "b");  // an empty list has no line to move: the first find goes in
    EXPECT_EQ(ListItems(), (std::vector<std::string>{root / "b\\"}));
    RECT line{};
    ::SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
    pointer = POINT{line.left + 5, (line.top + line.bottom) / 2};
    ::ClientToScreen(list, &pointer);
    dialog.AddFind(root / "a");  // sorts above the line under the pointer
    ::SendMessageA(dialog.Handle(), WM_TIMER, DriveScanDialog::kPointerCheckTimer, 0);
    EXPECT_EQ(ListItems(), (std::vector<std::string>{root / "b\\"}));

    RECT frame{};
    ::GetWindowRect(dialog.Handle(), &frame);
    pointer = POINT{frame.right + 50, frame.bottom + 50};
    EXPECT_TRUE(WaitUntil([&] { return ListItems().size() == 2; }));
    EXPECT_EQ(ListItems(), (std::vector<std::string>{root / "a\\", root / "b\\"}));
}
