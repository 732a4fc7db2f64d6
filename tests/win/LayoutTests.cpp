// Every window at 96, 120, 144 and 192 DPI: each text whole in its control, no two controls over one
// another, the pictures drawn for the DPI, and one Alt+letter key per field in each dialog. Wine
// reads the DPI when a process starts, so each DPI is checked by a run of this program of its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <set>

#include "jre/JavaNotice.h"
#include "info/About.h"
#include "info/DownloadWindow.h"
#include "jre/DriveScanDialog.h"
#include "puzzles/ImportDialog.h"
#include "ui/FolderChooser.h"
#include "settings/PreferencesDialog.h"
#include "core/ConfigRules.h"
#include "tests/win/MainWindowFixture.h"
#include "tests/win/TestSupport.h"
#include "win/Dpi.h"
#include "ui/Fonts.h"
#include "win/Registry.h"

using namespace testing_support;

namespace {

constexpr const char* kDpiVariable = "GRIDLARK_LAYOUT_DPI";

struct Control {
    HWND hwnd;
    std::string className;
    std::string text;
    LONG style;
    RECT place;  // in the dialog's client coordinates
};

std::vector<Control> VisibleControls(HWND dialog)
{
    std::vector<Control> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // Its own visibility: a dialog made for the test is not shown itself.
        if ((::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) == 0)
            continue;
        char name[64] = {}, text[1024] = {};
        ::GetClassNameA(child, name, sizeof(name));
        ::GetWindowTextA(child, text, sizeof(text));
        RECT place{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        controls.push_back({child, name, text, static_cast<LONG>(::GetWindowLongA(child, GWL_STYLE)), place});
    }
    return controls;
}

bool IsStatic(const Control& c) { return _stricmp(c.className.c_str(), "Static") == 0; }
bool IsButton(const Control& c) { return _stricmp(c.className.c_str(), "Button") == 0; }
bool IsCheckBox(const Control& c)
{
    const LONG kind = c.style & BS_TYPEMASK;
    return IsButton(c) && (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX);
}
bool ShowsText(const Control& c)
{
    const LONG kind = c.style & SS_TYPEMASK;
    return !c.text.empty() && (IsButton(c) || (IsStatic(c) && kind != SS_BITMAP && kind != SS_ICON));
}

// Why the control's text does not fit it, or nothing.
std::string TextProblem(const Control& c)
{
    HDC dc = ::GetDC(c.hwnd);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(c.hwnd, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    const int width = c.place.right - c.place.left, height = c.place.bottom - c.place.top;
    UINT flags = DT_CALCRECT;
    if (IsStatic(c) && (c.style & SS_NOPREFIX))
        flags |= DT_NOPREFIX;
    // Room the control keeps for itself: a button's frame, a check box's box.
    int room = IsCheckBox(c) ? ::GetSystemMetrics(SM_CXMENUCHECK) + metrics.tmAveCharWidth / 2
               : IsButton(c) ? 2 * ::GetSystemMetrics(SM_CXEDGE)
                             : 0;
    const bool wraps = IsStatic(c) && height >= 2 * metrics.tmHeight;
    RECT needed{0, 0, wraps ? width : 0, 0};
    ::DrawTextA(dc, c.text.c_str(), -1, &needed, flags | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, previous);
    ::ReleaseDC(c.hwnd, dc);
    const bool ellipsis = IsStatic(c) && (c.style & SS_ELLIPSISMASK) != 0;
    if (!ellipsis && needed.right + room > width)
        return "needs " + std::to_string(needed.right + room) + " px of width, has " + std::to_string(width);
    if (needed.bottom > height)
        return "needs " + std::to_string(needed.bottom) + " px of height, has " + std::to_string(height);
    return {};
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Each text fits its control, and no two controls cross: a frame or a panel may hold others
// whole, nothing else lies on another.
void CheckLayout(HWND dialog, const std::string& what)
{
    const auto controls = VisibleControls(dialog);
    EXPECT_GT(controls.size(), 1u) << what;
    for (const auto& c : controls) {
        if (!ShowsText(c))
            continue;
        const std::string problem = TextProblem(c);
        EXPECT_TRUE(problem.empty()) << what << ": \"" << c.text << "\" " << problem;
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const RECT &a = controls[i].place, &b = controls[j].place;
            RECT both{};
            if (!::IntersectRect(&both, &a, &b) || Contains(a, b) || Contains(b, a))
                continue;
            ADD_FAILURE() << what << ": \"" << controls[i].text << "\" (" << controls[i].className << ") and \""
                          << controls[j].text << "\" (" << controls[j].className << ") overlap";
        }
    }
}

// Every check box, and every label in front of an edit field, has an Alt+letter key, and no key
// is used twice in the dialog.
void CheckAccessKeys(HWND dialog, const std::string& what)
{
    const auto controls = VisibleControls(dialog);
    std::set<char> keys;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (IsStatic(c) && (c.style & SS_NOPREFIX))
            continue;
        const auto amp = c.text.find('&');
        const bool hasKey = amp != std::string::npos && amp + 1 < c.text.size() && c.text[amp + 1] != '&';
        const bool labelsField = IsStatic(c) && i + 1 < controls.size() && controls[i + 1].className == "Edit";
        if (IsCheckBox(c) || labelsField) {
            EXPECT_TRUE(hasKey) << what << ": \"" << c.text << "\" has no Alt+letter key";
        }
        if (hasKey) {
            EXPECT_TRUE(keys.insert(static_cast<char>(std::tolower(c.text[amp + 1]))).second)
                << what << ": the key of \"" << c.text << "\" is used twice";
        }
    }
}

class LayoutAtDpi : public MainWindowTest {
protected:
    void SetUp() override
    {
        if (std::getenv(kDpiVariable) == nullptr)
            GTEST_SKIP() << "runs in a process of its own, started by Layout.EveryWindowAt96To192Dpi";
        MainWindowTest::SetUp();
    }
};

}  // namespace

TEST_F(LayoutAtDpi, EveryTextIsWholeNoControlsOverlapAndPicturesSuitTheDpi)
{
    const UINT dpi = static_cast<UINT>(std::atoi(std::getenv(kDpiVariable)));
    ASSERT_EQ(win::WindowDpi(nullptr), dpi) << "the system did not take the DPI";
    for (int i = 0; i < 1561; ++i)
        WriteFileText(repository_ / ("Puzzle " + std::to_string(i) + ".JGF"), "x");
    MainWindow& w = Open();
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(List()) == 1561; }));

    // The status bar's count part holds its text whole.
    HWND status = ::GetDlgItem(w.Handle(), IDC_MAIN_STATUS);
    RECT part{};
    ::SendMessageA(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    const SIZE count =
        win::TextSizeIn(status, reinterpret_cast<HFONT>(::SendMessageA(status, WM_GETFONT, 0, 0)), w.StatusText(0));
    EXPECT_EQ(w.StatusText(0), "Items: 1561");
    EXPECT_GE(part.right - part.left, count.cx + 6);

    // The pictures of the toolbar and the list are drawn at the size for the DPI.
    const int expected = dpi >= 192 ? 32 : dpi >= 144 ? 24 : 16;
    for (HIMAGELIST images : {reinterpret_cast<HIMAGELIST>(::SendMessageA(w.Bars().Toolbar(), TB_GETIMAGELIST, 0, 0)),
                              ListView_GetImageList(List(), LVSIL_SMALL)}) {
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
        EXPECT_EQ(cx, expected);
        EXPECT_EQ(cy, expected);
    }
    CheckLayout(w.Handle(), "main window");

    struct Window {
        const char* what;
        std::function<std::unique_ptr<win::Dialog>()> make;
    };
    const Window windows[] = {
        {"Preferences", [this] { return std::make_unique<PreferencesDialog>(config_); }},
        {"Select Folder",
         [] { return std::make_unique<FolderChooser>("Please select a new location for the puzzle repository.", ""); }},
        {"Import", [this] { return std::make_unique<ImportDialog>(repository_.Path()); }},
        {"Select JRE", [] { return std::make_unique<DriveScanDialog>(); }},
        {"About", [] { return std::make_unique<AboutBox>(); }},
        {"Download More Puzzles", [] { return std::make_unique<DownloadWindow>(); }},
        {"Java notice", [] { return std::make_unique<JavaNotice>("Gridlark"); }},
    };
    for (const auto& window : windows) {
        auto dialog = window.make();
        ASSERT_NE(dialog->CreateModeless(w.Handle()), nullptr) << window.what;
        CheckLayout(dialog->Handle(), window.what);
        CheckAccessKeys(dialog->Handle(), window.what);
    }
}

// Sets the screen's DPI for the programs started in one scope, as the display settings do.
class ScreenDpi {
public:
    explicit ScreenDpi(UINT dpi)
    {
        for (const auto& [root, path] : kKeys) {
            win::RegistryAccessor key(root);
            if (key.OpenKey(path, true))
                key.WriteInteger("LogPixels", dpi);
        }
    }
    ~ScreenDpi()
    {
        for (const auto& [root, path] : kKeys) {
            win::RegistryAccessor key(root);
            if (key.OpenKey(path, true))
                key.WriteInteger("LogPixels", win::kBaseDpi);
        }
    }

private:
    inline static const std::pair<HKEY, const char*> kKeys[] = {{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                                                                {HKEY_CURRENT_CONFIG, "Software\\Fonts"}};
};

TEST(Layout, EveryWindowAt96To192Dpi)
{
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (UINT dpi : {96u, 120u, 144u, 192u}) {
        TempFolder temp;
        ScreenDpi screen(dpi);
        ScopedVariable variable(kDpiVariable, std::to_string(dpi));
        const std::string report = temp / "report.json";
        const ProcessResult run = RunProgram(
            self, "--gtest_filter=LayoutAtDpi.* --gtest_output=json:\"" + report + "\"", std::chrono::seconds(90));
        ASSERT_TRUE(run.finished) << dpi;
        const std::string text = ReadFileText(report);
        EXPECT_EQ(run.exitCode, 0u) << "at " << dpi << " DPI:\n" << text;
        EXPECT_NE(text.find("\"result\": \"COMPLETED\""), std::string::npos) << "at " << dpi << " DPI:\n" << text;
    }
}

TEST_F(MainWindowTest, StoredBoundsKeepTheirSizeInPointsAndAMoveToAnotherDpiTakesTheSuggestedRectangle)
{
    const UINT dpi = win::WindowDpi(nullptr);
    // Stored at twice this DPI: the window comes back at half the pixels, columns too.
    config_.MainWindowDpi = 2 * dpi;
    config_.MainWindowWidth = 1200;
    config_.MainWindowHeight = 840;
    config_.Column1Width = 500;
    MainWindow& w = Open();
    RECT frame{};
    ::GetWindowRect(w.Handle(), &frame);
    EXPECT_EQ(frame.right - frame.left, 600);
    EXPECT_EQ(frame.bottom - frame.top, 420);
    EXPECT_EQ(ListView_GetColumnWidth(List(), 0), 250);

    // Dragged onto a monitor of 1.5 times the DPI.
    const UINT higher = dpi * 3 / 2;
    RECT suggested{100, 80, 100 + 900, 80 + 630};
    ::SendMessageA(w.Handle(), WM_DPICHANGED, MAKEWPARAM(higher, higher), reinterpret_cast<LPARAM>(&suggested));
    ::GetWindowRect(w.Handle(), &frame);
    EXPECT_TRUE(::EqualRect(&frame, &suggested));
    EXPECT_EQ(ListView_GetColumnWidth(List(), 0), 375);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(ListView_GetImageList(List(), LVSIL_SMALL), &cx, &cy);
    EXPECT_EQ(cx, win::PictureSize(higher));

    // Closing stores the bounds in pixels of the DPI the window closes at.
    ::SendMessageA(w.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(config_.MainWindowDpi, higher);
    EXPECT_EQ(config_.MainWindowWidth, 900);
    EXPECT_EQ(config_.Column1Width, 375);
}

TEST_F(MainWindowTest, AStoredSizeTooSmallTakesTheDefaultAndOneTooLargeFitsTheWorkArea)
{
    const UINT dpi = win::WindowDpi(nullptr);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        const char* what;
        UINT storedDpi;
        std::int32_t width, height;
        LONG expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {"no size", dpi, 0, 0, settings::ScaledToDpi(543, 96, dpi), settings::ScaledToDpi(395, 96, dpi)},
        {"a negative size", dpi, -1, -1, settings::ScaledToDpi(543, 96, dpi), settings::ScaledToDpi(395, 96, dpi)},
        {"a title bar's height", dpi, 600, 20, settings::ScaledToDpi(543, 96, dpi),
         settings::ScaledToDpi(395, 96, dpi)},
        // Stored at two thirds of this DPI, as bounds stored at 96 come back at 144: larger than the
        // monitor, the window is cut to its work area.
        {"larger than the monitor at a higher DPI", dpi * 2 / 3, work.right - work.left, work.bottom - work.top,
         work.right - work.left, work.bottom - work.top},
    };
    for (const auto& c : cases) {
        config_.MainWindowDpi = c.storedDpi;
        config_.MainWindowWidth = c.width;
        config_.MainWindowHeight = c.height;
        MainWindow& w = Open();
        RECT frame{};
        ::GetWindowRect(w.Handle(), &frame);
        EXPECT_EQ(frame.right - frame.left, c.expectedWidth) << c.what;
        EXPECT_EQ(frame.bottom - frame.top, c.expectedHeight) << c.what;
        EXPECT_GE(frame.left, work.left) << c.what;
        EXPECT_GE(frame.top, work.top) << c.what;
        window_.reset();
    }
}
