// The program from the keyboard alone: F1 in every window, the list's popup from Shift+F10 and
// the menu key, links reached with Tab and opened with Enter, and the Alt+letter keys of the
// dialogs. Keys go in through the system's input, as a user's would.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "app/Application.h"
#include "help/HTMLHelp.h"
#include "tests/win/MainWindowFixture.h"
#include "tests/win/TestSupport.h"
#include "win/Files.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

std::mutex helpMutex;
std::vector<std::string> helpAddresses;

HWND WINAPI RecordHelp(HWND, LPCSTR address, UINT, DWORD_PTR)
{
    std::lock_guard<std::mutex> lock(helpMutex);
    helpAddresses.push_back(address);
    return nullptr;
}

std::vector<std::string> HelpAddresses()
{
    std::lock_guard<std::mutex> lock(helpMutex);
    return helpAddresses;
}

class KeyboardTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        helpAddresses.clear();
        SetHtmlHelpEntryForTests(&RecordHelp);
        help::SetHelpFile(DistFolder() + "gridlark.chm");
    }
    void TearDown() override
    {
        SetHtmlHelpEntryForTests(nullptr);
        help::SetHelpFile(app::kHelpFileName);
        MainWindowTest::TearDown();
    }
    MainWindow& OpenInFront()
    {
        MainWindow& w = Open();
        ::SetForegroundWindow(w.Handle());
        ::SetFocus(List());
        PumpMessages();
        return w;
    }
    // Runs the command, whose dialog the action handles on a helper thread until it closes.
    void WithDialogOf(int command, std::function<void(HWND)> action)
    {
        WindowCatcher catcher([&](HWND dialog) {
            ::SetForegroundWindow(dialog);
            action(dialog);
            ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        ::SendMessageA(window_->Handle(), WM_COMMAND, static_cast<WPARAM>(command), 0);
        EXPECT_TRUE(catcher.Result().found) << command;
    }
    // The menu window of a popup that opens within the bound; the popup is closed again. Esc goes
    // in through the system's input, behind the keys that opened the popup: a posted key would
    // overtake them, and the key-up of F10 then reaching the window would open its menu bar.
    static RECT WaitForPopupAndClose(std::atomic<bool>& seen)
    {
        RECT where{};
        HWND menu = nullptr;
        for (int i = 0; i < 500 && menu == nullptr; ++i) {
            menu = ShownPopupMenu();
            if (menu == nullptr)
                ::Sleep(20);
        }
        if (menu == nullptr)
            return where;
        ::GetWindowRect(menu, &where);
        for (int i = 0; i < 50 && ::IsWindowVisible(menu); ++i) {
            PressKeys({VK_ESCAPE});
            ::Sleep(100);
        }
        seen = true;
        return where;
    }
};

std::string AddressEnd(const std::string& address)
{
    const auto at = address.find("::\\");
    return at == std::string::npos ? address : address.substr(at + 3);
}

}  // namespace

TEST_F(KeyboardTest, F1ShowsTheTopicOfTheWindowItIsPressedIn)
{
    OpenInFront();
    PressKeys({VK_F1});
    ASSERT_TRUE(WaitUntil([] { return HelpAddresses().size() == 1; }));
    EXPECT_EQ(AddressEnd(HelpAddresses()[0]), "Contents.htm");

    struct Case {
        int command;
        const char* topic;
    };
    const Case cases[] = {
        {IDM_PREFS, "Options_Menu.htm"},
        {IDM_ABOUT, "About.htm"},
        {IDM_MORE_PUZZLES, "More_Puzzles.htm"},
    };
    for (const auto& c : cases) {
        helpAddresses.clear();
        WithDialogOf(c.command, [](HWND) {
            PressKeys({VK_F1});
            WaitUntil([] { return !HelpAddresses().empty(); });
        });
        const auto addresses = HelpAddresses();
        ASSERT_EQ(addresses.size(), 1u) << c.topic;
        EXPECT_EQ(AddressEnd(addresses[0]), c.topic);
    }
}

TEST_F(KeyboardTest, ShiftF10AndTheMenuKeyOpenThePopupUnderTheFocusedLine)
{
    for (const char* name : {"Ants.JGF", "Bees.JGF", "Cats.JGF"})
        WriteFileText(repository_ / name, "x");
    OpenInFront();
    ASSERT_TRUE(WaitForCaptions({"Ants", "Bees", "Cats"}));
    Select(2);
    RECT line{};
    ListView_GetItemRect(List(), 2, &line, LVIR_LABEL);
    POINT under{line.left, line.bottom};
    ::ClientToScreen(List(), &under);
    const std::initializer_list<WORD> shiftF10 = {VK_SHIFT, VK_F10}, menuKey = {VK_APPS};
    for (const auto& keys : {shiftF10, menuKey}) {
        ASSERT_TRUE(WaitUntil([] { return ShownPopupMenu() == nullptr; }));
        std::atomic<bool> seen{false};
        RECT popup{};
        std::thread closer([&] { popup = WaitForPopupAndClose(seen); });
        PressKeys(keys);
        WaitUntil([&] { return seen.load(); });
        closer.join();
        ASSERT_TRUE(seen);
        EXPECT_EQ(popup.left, under.x);
        EXPECT_EQ(popup.top, under.y);
    }
}

TEST_F(KeyboardTest, CtrlASelectsEveryLineShownAndTypingFindsAnImportedTitle)
{
    for (const char* name : {"(K7) Garden Birds.JGF", "(K7) Owls.JWF", "Ants.JGF", "Gnats.JGF", "Owlets.JGF"})
        WriteFileText(repository_ / name, "x");
    OpenInFront();
    ASSERT_TRUE(WaitForCaptions({"(K7) Garden Birds", "(K7) Owls", "Ants", "Gnats", "Owlets"}));
    ClickColumn(0);  // (K7) Garden Birds, (K7) Owls, Ants, Gnats, Owlets
    ::SetFocus(List());
    Select(2);
    PressKeys({'G'});
    PumpMessages();
    EXPECT_EQ(Focused(), 3);  // a name that starts with the letter wins
    ::SetWindowTextA(window_->SearchField(), "ts");
    ::SetFocus(List());
    Select(0);
    PressKeys({'G'});
    PumpMessages();
    EXPECT_EQ(Focused(), 0);  // Gnats is filtered out: the title after the label
    PressKeys({VK_CONTROL, 'A'});
    PumpMessages();
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1, 2}));  // only what the filter shows
}

TEST_F(KeyboardTest, AfterDeletingLinesTheFocusGoesToTheNextLineLeft)
{
    for (int i = 1; i <= 12; ++i)
        WriteFileText(repository_ / ("Puzzle " + std::to_string(i) + ".JGF"), "x");
    OpenInFront();
    ClickColumn(0);  // Puzzle 1 ... Puzzle 12 by number
    ASSERT_EQ(ListView_GetItemCount(List()), 12);
    Select(0);
    ::SetFocus(List());
    PressKeys({VK_SHIFT, VK_DOWN, VK_DOWN});  // Puzzle 1 to 3, the focus on 3
    PumpMessages();
    ASSERT_EQ(SelectedRows(), (std::vector<int>{0, 1, 2}));
    WindowCatcher confirm("Yes");
    PressKeys({VK_DELETE});
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(List()) == 9; }));
    EXPECT_TRUE(confirm.Result().found);
    ASSERT_GE(Focused(), 0);
    EXPECT_EQ(window_->Model().At(static_cast<std::size_t>(Focused())).Caption, "Puzzle 4");
    EXPECT_EQ(SelectedRows(), std::vector<int>{Focused()});
}

TEST_F(KeyboardTest, F2RenamesTheSelectedPuzzleInPlaceUnderTheImportsNameRules)
{
    WriteFileText(repository_ / "Ants.JGF", "ants");
    WriteFileText(repository_ / "Bees.JGF", "bees");
    OpenInFront();
    ASSERT_TRUE(WaitForCaptions({"Ants", "Bees"}));
    struct Case {
        const char* from;
        const char* typed;
        const char* file;  // the file that holds the puzzle afterwards, as listed
        const char* box;   // what a message box says, if one is expected
    };
    const Case cases[] = {
        {"Ants", "Beetles", "Beetles.JGF", nullptr},
        {"Beetles", "Bee?tles", "Beetles.JGF", "Windows does not allow the character ? in a file name."},
        {"Beetles", "bees", "Beetles.JGF", "A puzzle named \"bees\" already exists."},
        {"Beetles", "BEETLES", "BEETLES.JGF", nullptr},
        {"BEETLES", " Wasps. . ", "Wasps.JGF", nullptr},
    };
    for (const auto& c : cases) {
        const PuzzleListModel& model = window_->Model();
        int row = -1;
        for (std::size_t i = 0; i < model.Shown(); ++i)
            if (model.At(i).Caption == c.from)
                row = static_cast<int>(i);
        ASSERT_GE(row, 0) << c.from;
        Select(row);
        ::SetFocus(List());
        PressKeys({VK_F2});
        HWND edit = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (edit = ListView_GetEditControl(List())) != nullptr; })) << c.typed;
        char shown[MAX_PATH] = {};
        ::GetWindowTextA(edit, shown, sizeof(shown));
        EXPECT_STREQ(shown, c.from);  // the name alone, without its extension
        ::SetWindowTextA(edit, c.typed);
        std::unique_ptr<WindowCatcher> box;
        if (c.box != nullptr)
            box = std::make_unique<WindowCatcher>("OK");
        PressKeys({VK_RETURN});
        EXPECT_TRUE(WaitUntil([&] { return ListView_GetEditControl(List()) == nullptr; }));
        PumpMessages();  // the name typed goes to its file on a posted message
        if (box) {
            const CapturedWindow shownBox = box->Result();
            std::string said;
            for (const std::string& line : shownBox.texts)
                said += line + "\n";
            EXPECT_TRUE(shownBox.found) << c.typed;
            EXPECT_NE(said.find(c.box), std::string::npos) << said;
        }
        EXPECT_EQ(win::ListedFileName(repository_ / c.file), c.file) << c.typed;
        EXPECT_TRUE(WaitUntil([&] { return window_->SelectedPuzzlePath() == repository_ / c.file; }))
            << c.typed << " " << window_->SelectedPuzzlePath();
        EXPECT_EQ(ReadFileText(repository_ / "Bees.JGF"), "bees");  // never overwritten
    }
    EXPECT_TRUE(WaitForCaptions({"Bees", "Wasps"}));
}

TEST_F(KeyboardTest, ARenamedLineKeepsItsPlaceOnTheScreen)
{
    for (int i = 10; i < 90; ++i)
        WriteFileText(repository_ / ("Puzzle " + std::to_string(i) + ".JGF"), "x");
    OpenInFront();
    ClickColumn(0);  // Puzzle 10 ... Puzzle 89
    ListView_EnsureVisible(List(), 79, FALSE);
    Select(70);  // Puzzle 80
    const int fromTop = 70 - ListView_GetTopIndex(List());
    ASSERT_GT(fromTop, 0);
    ::SetFocus(List());
    PressKeys({VK_F2});
    HWND edit = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (edit = ListView_GetEditControl(List())) != nullptr; }));
    ::SetWindowTextA(edit, "Puzzle 45b");  // comes after Puzzle 45: row 36
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return window_->SelectedPuzzlePath() == repository_ / "Puzzle 45b.JGF"; }));
    EXPECT_EQ(Focused(), 36);
    // Where the old name stood, within a line: the list scrolls by whole lines as it draws.
    EXPECT_LE(std::abs(36 - ListView_GetTopIndex(List()) - fromTop), 1);
}

// Tab after each command of the import dialog: some enabled control of it always has the focus, and
// a button that disables itself hands the focus to the list.
TEST_F(KeyboardTest, TabAlwaysFindsAControlAfterSelectAllAndClearDisableThemselves)
{
    TempFolder collections;
    const std::string path = WriteCollection(collections, "birds.cw3", "Garden Birds", true);
    OpenInFront();
    std::vector<std::string> faults;
    std::atomic<bool> done{false};
    auto focusIs = [](HWND dialog, HWND control) {
        return WaitUntil([&] { return FocusOfThreadOf(dialog) == control; }, 2s);
    };
    // Tab goes round the dialog's controls, each enabled and shown, and back to the list.
    auto walk = [&](HWND dialog, const char* after) {
        HWND list = ::GetDlgItem(dialog, IDC_IMPORT_LIST);
        if (!focusIs(dialog, list))
            faults.push_back(std::string("the focus is not on the list after ") + after);
        for (int tab = 0; tab < 4; ++tab) {
            PressKeys({VK_TAB});
            WaitUntil([&] { return FocusOfThreadOf(dialog) != nullptr; }, 1s);
            ::Sleep(30);
            HWND focus = FocusOfThreadOf(dialog);
            if (focus == nullptr || !::IsChild(dialog, focus) || !::IsWindowEnabled(focus))
                faults.push_back(std::string("Tab ") + std::to_string(tab + 1) + " after " + after +
                                 " found no control");
        }
    };
    WindowCatcher catcher([&](HWND dialog) {
        ::SetForegroundWindow(dialog);
        walk(dialog, "opening");
        // From the list, Tab reaches Select All, then Clear past the disabled Select All.
        for (const auto& [id, name] :
             {std::pair<int, const char*>{IDC_IMPORT_SELECT, "Select All"}, {IDC_IMPORT_CLEAR, "Clear"}}) {
            HWND button = ::GetDlgItem(dialog, id);
            PressKeys({VK_TAB});
            if (!focusIs(dialog, button)) {
                faults.push_back(std::string("Tab does not reach ") + name);
                continue;
            }
            PressKeys({VK_SPACE});
            WaitUntil([&] { return !::IsWindowEnabled(button); }, 2s);
            walk(dialog, name);
        }
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        done = true;
    });
    window_->OpenImportsLater({path});
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }, 30s));
    EXPECT_TRUE(catcher.Result().found);
    EXPECT_EQ(faults, std::vector<std::string>{});
}

TEST_F(KeyboardTest, TabReachesEveryLinkAndEnterOrSpaceOpensIt)
{
    TempFolder temp;
    StubLog log(temp);
    OpenInFront();
    struct Case {
        int command;
        int link;
        WORD key;
        std::string address;
    };
    const Case cases[] = {
        {IDM_ABOUT, IDC_ABOUT_WEBSITEORV, VK_RETURN, "http://www.orvanel.example"},
        {IDM_ABOUT, IDC_ABOUT_PRODUCTSITE, VK_SPACE, "http://puzzles.orvanel.example/gridlark"},
        {IDM_MORE_PUZZLES, IDC_DOWNLOAD_LINK4, VK_RETURN, "http://latticor.orvanel.example/"},
    };
    std::size_t opened = 0;
    for (const auto& c : cases) {
        bool reached = false, focusShown = false;
        WithDialogOf(c.command, [&](HWND dialog) {
            for (int tab = 0; tab < 12 && !reached; ++tab) {
                PressKeys({VK_TAB});
                WaitUntil([&] { return FocusOfThreadOf(dialog) != nullptr; }, 1s);
                ::Sleep(30);
                reached = FocusOfThreadOf(dialog) == ::GetDlgItem(dialog, c.link);
            }
            if (!reached)
                return;
            focusShown = (::GetWindowLongA(::GetDlgItem(dialog, c.link), GWL_STYLE) & WS_TABSTOP) != 0;
            PressKeys({c.key});
            log.WaitFor(opened + 1);
        });
        EXPECT_TRUE(reached) << c.link;
        EXPECT_TRUE(focusShown) << c.link;
        if (reached)
            ++opened;
    }
    const auto records = log.WaitFor(opened);
    ASSERT_EQ(records.size(), std::size(cases));
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i].parameters.rfind(cases[i].address, 0), 0u) << records[i].parameters;
}
