// The main window in-process: the live list, the watcher, the commands and the placement.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <random>
#include <tuple>
#include <thread>

#include "app/MainWindow.h"
#include "help/HTMLHelp.h"
#include "core/PuzzleKinds.h"
#include "puzzles/FolderListing.h"
#include "puzzles/ImportDialog.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "tests/native/RecordBuilder.h"
#include "tests/win/MainWindowFixture.h"
#include "tests/win/TestSupport.h"
#include "win/ExceptionHook.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

std::string ItemText(HWND list, int item, int column)
{
    char buffer[512] = {};
    ListView_GetItemText(list, item, column, buffer, sizeof(buffer));
    return buffer;
}

LVITEMA ItemInfo(HWND list, int item)
{
    LVITEMA info{};
    info.mask = LVIF_IMAGE | LVIF_STATE;
    info.iItem = item;
    info.stateMask = LVIS_STATEIMAGEMASK;
    ListView_GetItem(list, &info);
    return info;
}

void Touch(const std::string& path) { WriteFileText(path, "x"); }

// Sets the file's last write time to the given day of January 2024.
void SetModifiedDay(const std::string& path, WORD day)
{
    SYSTEMTIME time{2024, 1, 0, day, 12, 0, 0, 0};
    FILETIME stamp{};
    ::SystemTimeToFileTime(&time, &stamp);
    win::UniqueHandle file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ::SetFileTime(file.get(), nullptr, nullptr, &stamp);
}

}  // namespace

TEST_F(MainWindowTest, ListsPuzzleFilesByKindWithStatusTexts)
{
    Touch(repository_ / "Cats.jgf");
    Touch(repository_ / "a.b.jwf");
    Touch(repository_ / "notes.txt");
    ::CreateDirectoryA((repository_ / "Folder.JGF").c_str(), nullptr);
    MainWindow& w = Open();
    ASSERT_EQ(ListView_GetItemCount(List()), 3);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Cats", "Folder", "a.b"}));
    for (int i = 0; i < 3; ++i) {
        const bool crossword = ItemText(List(), i, 0) != "a.b";
        EXPECT_EQ(ItemText(List(), i, 1), crossword ? "Crossword" : "Word Search");
        LVITEMA info = ItemInfo(List(), i);
        EXPECT_EQ(info.iImage, crossword ? 0 : 1);
        EXPECT_EQ((info.state & LVIS_STATEIMAGEMASK) >> 12, crossword ? 0u : 1u);
    }
    EXPECT_EQ(w.StatusText(0), "Items: 3");
    EXPECT_EQ(w.StatusText(1), repository_.Path());
    LONG style = ::GetWindowLongA(List(), GWL_STYLE);
    EXPECT_TRUE(style & LVS_REPORT);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_EQ(ListView_GetColumnWidth(List(), 0), 250);
    EXPECT_EQ(ListView_GetColumnWidth(List(), 1), 150);
    EXPECT_EQ(ListView_GetColumnWidth(List(), 2), 130);
}

TEST_F(MainWindowTest, FollowsFilesCreatedRenamedAndDeleted)
{
    Open();
    EXPECT_TRUE(WaitForCaptions({}));
    Touch(repository_ / "One.JGF");
    EXPECT_TRUE(WaitForCaptions({"One"}));
    ::MoveFileA((repository_ / "One.JGF").c_str(), (repository_ / "Two.JWF").c_str());
    EXPECT_TRUE(WaitForCaptions({"Two"}));
    ::DeleteFileA((repository_ / "Two.JWF").c_str());
    EXPECT_TRUE(WaitForCaptions({}));
}

TEST_F(MainWindowTest, ANewRepositoryIsListedWithinASecondAndACaseChangeIsNotNew)
{
    TempFolder other;
    Touch(other / "Elsewhere.JGF");
    std::atomic<int> refills{0};
    refillProbe_ = [&] { ++refills; };
    Open();
    auto started = std::chrono::steady_clock::now();
    config_.SetRepository(other.Path());
    EXPECT_TRUE(WaitForCaptions({"Elsewhere"}, 1s));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);

    WaitUntil([] { return false; }, 700ms);
    const int before = refills;
    std::string upper = other.Path();
    ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    config_.SetRepository(upper);
    WaitUntil([] { return false; }, 1200ms);
    EXPECT_EQ(refills, before);
}

TEST_F(MainWindowTest, ARepositoryDeletedOrReplacedUnderTheSameNameIsListedAnewAndAMissingOneIsNamed)
{
    const std::string folder = repository_ / "live";
    auto fill = [&](const std::string& prefix, int count) {
        std::vector<std::string> captions;
        for (int i = 0; i < count; ++i) {
            captions.push_back(prefix + std::to_string(i));
            Touch(folder + "\\" + captions.back() + ".JGF");
        }
        return captions;
    };
    ::CreateDirectoryA(folder.c_str(), nullptr);
    config_.SetRepository(folder);
    const auto old = fill("Old ", 5);
    Open();
    ASSERT_TRUE(WaitForCaptions(old));

    // As a user outside Wine would do it (Wine keeps the watched folder from being removed).
    const std::string unixFolder = UnixPath(folder);
    ASSERT_FALSE(unixFolder.empty());
    ASSERT_TRUE(RunUnixShell("rm -rf '" + unixFolder + "' && mkdir '" + unixFolder + "'"));
    EXPECT_TRUE(WaitForCaptions(fill("New ", 4), 2s));

    // Gone, the list empties and the status bar says so; back, the list fills again.
    ASSERT_TRUE(RunUnixShell("rm -rf '" + unixFolder + "'"));
    EXPECT_TRUE(WaitUntil([&] { return window_->StatusText(1) == folder + " (folder not found)"; }, 2s));
    EXPECT_TRUE(Captions().empty());
    ASSERT_TRUE(RunUnixShell("mkdir '" + unixFolder + "'"));
    EXPECT_TRUE(WaitForCaptions(fill("Back ", 3), 2s));
    EXPECT_EQ(window_->StatusText(1), folder);

    ASSERT_TRUE(RunUnixShell("mv '" + unixFolder + "' '" + unixFolder + "-away' && mkdir '" + unixFolder + "'"));
    EXPECT_TRUE(WaitForCaptions({}, 2s));
    EXPECT_TRUE(WaitForCaptions(fill("Fresh ", 2), 2s));
}

TEST_F(MainWindowTest, AMissingOrEmptyRepositoryGivesAnEmptyListWithoutSpinning)
{
    Touch(repository_ / "AFile.txt");
    const std::string cases[] = {repository_ / "missing", repository_ / "AFile.txt", ""};
    for (const auto& repository : cases) {
        config_.SetRepository(repository);
        MainWindow& w = Open();
        EXPECT_EQ(ListView_GetItemCount(List()), 0) << repository;
        EXPECT_EQ(w.StatusText(0), "Items: 0");
        // A folder that is not there is named so; a blank setting names none.
        EXPECT_EQ(w.StatusText(1), repository.empty() ? "" : repository + " (folder not found)");
        FILETIME create, exit, kernelBefore, userBefore, kernelAfter, userAfter;
        ::GetProcessTimes(::GetCurrentProcess(), &create, &exit, &kernelBefore, &userBefore);
        WaitUntil([] { return false; }, 1500ms);
        ::GetProcessTimes(::GetCurrentProcess(), &create, &exit, &kernelAfter, &userAfter);
        auto ticks = [](const FILETIME& f) {
            return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
        };
        // A watcher that spun would use most of the 1.5 seconds.
        EXPECT_LT(ticks(userAfter) - ticks(userBefore) + ticks(kernelAfter) - ticks(kernelBefore), 5000000ull)
            << repository;
        window_.reset();
    }
}

TEST_F(MainWindowTest, PlayAndDeleteFollowTheSelectionInEveryPlace)
{
    Touch(repository_ / "Cats.JGF");
    MainWindow& w = Open();
    HMENU menu = ::GetMenu(w.Handle());
    HMENU popup = w.Bars().Popup(0);
    HWND toolbar = w.Bars().Toolbar();
    auto enabledEverywhere = [&](int id) {
        const bool inMenu = !(::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED);
        const bool inPopup = !(::GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED);
        const bool inToolbar = ::SendMessageA(toolbar, TB_ISBUTTONENABLED, id, 0) != 0;
        EXPECT_EQ(inMenu, inPopup) << id;
        EXPECT_EQ(inMenu, inToolbar) << id;
        return inMenu;
    };
    EXPECT_FALSE(enabledEverywhere(IDM_PLAY));
    EXPECT_FALSE(enabledEverywhere(IDM_DELETE));
    Select(0);
    EXPECT_TRUE(enabledEverywhere(IDM_PLAY));
    EXPECT_TRUE(enabledEverywhere(IDM_DELETE));
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    EXPECT_FALSE(enabledEverywhere(IDM_PLAY));
    EXPECT_FALSE(enabledEverywhere(IDM_DELETE));
}

TEST_F(MainWindowTest, EnterAndPlayStartTheGameWithTheRebuiltQuotedPath)
{
    GamePrograms games;
    TempFolder temp;
    StubLog log(temp);
    Touch(repository_ / "Cats.jgf");
    Touch(repository_ / "Fruit.jwf");
    MainWindow& w = Open();
    // Nothing selected: nothing happens.
    ::SendMessageA(List(), WM_KEYDOWN, VK_RETURN, 0);
    for (int i = 0; i < 2; ++i) {
        Select(i);
        if (i == 0)
            ::SendMessageA(List(), WM_KEYDOWN, VK_RETURN, 0);
        else
            ::SendMessageA(w.Handle(), WM_COMMAND, IDM_PLAY, 0);
    }
    auto records = log.WaitFor(2);
    ASSERT_EQ(records.size(), 2u);
    std::vector<std::string> parameters{records[0].parameters, records[1].parameters};
    std::sort(parameters.begin(), parameters.end());
    EXPECT_EQ(parameters[0], "-jar Crossword.jar \"" + repository_.Path() + "Cats.JGF\"");
    EXPECT_EQ(parameters[1], "-jar WordSearch.jar \"" + repository_.Path() + "Fruit.JWF\"");
}

TEST_F(MainWindowTest, DeleteAndAltDeleteSendTheFileToTheRecycleBinAndTheListFollows)
{
    Touch(repository_ / "Cats.JWF");
    Open();
    // Alt+Delete reaches the list as a system key (context bit 29 set).
    const std::pair<UINT, LPARAM> keys[] = {{WM_KEYDOWN, 0}, {WM_SYSKEYDOWN, 1 << 29}};
    for (const auto& [message, flags] : keys) {
        Touch(repository_ / "Cats.JGF");
        ASSERT_TRUE(WaitUntil([&] { return window_->Model().Shown() == 2; }));
        int crossword = window_->Model().At(0).KindTag == PuzzleLine::Kind::Crossword ? 0 : 1;
        Select(crossword);
        WindowCatcher confirm("Yes");
        ::SendMessageA(List(), message, VK_DELETE, flags);
        EXPECT_TRUE(confirm.Result().found) << message;
        EXPECT_FALSE(win::FileExists(repository_ / "Cats.JGF"));
        EXPECT_TRUE(win::FileExists(repository_ / "Cats.JWF"));
        EXPECT_TRUE(WaitUntil([&] { return window_->Model().Shown() == 1; }));
        EXPECT_EQ(window_->Model().At(0).KindTag, PuzzleLine::Kind::WordSearch);
    }
}

TEST_F(MainWindowTest, ClosingMaximisedStoresTheStateAndTheNormalBounds)
{
    MainWindow& w = Open();
    ::ShowWindow(w.Handle(), SW_MAXIMIZE);
    ListView_SetColumnWidth(List(), 0, 123);
    ::SendMessageA(w.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(w.Handle(), nullptr);
    EXPECT_TRUE(config_.MainWindowMaximized);
    EXPECT_EQ(config_.Column1Width, 123);
    EXPECT_EQ(config_.MainWindowLeft, 40);
    EXPECT_EQ(config_.MainWindowTop, 30);
    EXPECT_EQ(config_.MainWindowWidth, 600);
    EXPECT_EQ(config_.MainWindowHeight, 420);

    Settings reloaded;
    reloaded.Load();
    reloaded.JavaPath = StubsFolder();
    settings_ = &reloaded;
    MainWindow& again = Open();
    EXPECT_TRUE(::IsZoomed(again.Handle()));
    ::ShowWindow(again.Handle(), SW_RESTORE);
    RECT r{};
    ::GetWindowRect(again.Handle(), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 420);
    EXPECT_EQ(ListView_GetColumnWidth(again.ListView(), 0), 123);
}

TEST_F(MainWindowTest, AtStartTheFolderIsListedOnceAndAFileMadeRightAfterThatListingStillShows)
{
    Touch(repository_ / "Before.JGF");
    std::atomic<int> refills{0};
    refillProbe_ = [&] { ++refills; };
    Open();
    EXPECT_TRUE(WaitForCaptions({"Before"}));
    WaitUntil([] { return false; }, 1500ms);
    EXPECT_EQ(refills, 1);
    window_.reset();

    std::atomic<int> listings{0};
    window_ = std::make_unique<MainWindow>(*settings_, [&](const std::string& repository) {
        auto lines = puzzles::ListPuzzleFiles(repository);
        if (++listings == 1)
            Touch(repository_ / "After.JGF");
        return lines;
    });
    ASSERT_TRUE(window_->Create());
    window_->Show();
    EXPECT_TRUE(WaitForCaptions({"After", "Before"}));
}

// The viewer's library is no part of the first paint: the shown window loads it on a thread of its
// own, and a topic asked for meanwhile waits for it.
TEST_F(MainWindowTest, TheShownWindowLoadsTheHelpViewerByItself)
{
    ASSERT_FALSE(HelpLibraryLoaded());
    Open();
    WaitForHelpLibrary();
    EXPECT_TRUE(HelpLibraryLoaded());
    window_.reset();
    UnloadHelpLibrary();
}

// Counts the list's updates: each sets the list's number of lines once.
LRESULT CALLBACK CountUpdates(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR counter)
{
    if (message == LVM_SETITEMCOUNT)
        ++*reinterpret_cast<std::atomic<int>*>(counter);
    return ::DefSubclassProc(list, message, wParam, lParam);
}

// The import's files reach the list by name, a batch at a time, with no listing of the folder.
TEST_F(MainWindowTest, AnImportOfManyPuzzlesCostsFewUpdatesAndEndsWithEveryPuzzleListed)
{
    constexpr int kRecords = 300;
    TempFolder collections;
    std::string bytes;
    std::vector<std::string> names;
    for (int i = 0; i < kRecords; ++i) {
        const std::string title = "Puzzle " + std::to_string(i);
        auto record = RecordBuilder::ForCrossword().Head("B", title).Bytes();
        bytes.append(record.begin(), record.end());
        names.push_back("(B) " + title);
    }
    WriteFileText(collections / "many.cw3", bytes);
    std::atomic<int> refills{0}, updates{0};
    MainWindow& w = Open();
    WaitUntil([] { return false; }, 700ms);
    refillProbe_ = [&] { ++refills; };
    ::SetWindowSubclass(List(), &CountUpdates, 1, reinterpret_cast<DWORD_PTR>(&updates));
    ImportDialog dialog(repository_.Path());
    dialog.CreateModeless(w.Handle());
    dialog.LoadCollection(collections / "many.cw3");
    ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_IMPORT_SELECT, BN_CLICKED), 0);
    ::SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_IMPORT_OK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitForCaptions(names, 10s));
    ::RemoveWindowSubclass(List(), &CountUpdates, 1);
    EXPECT_EQ(refills, 0);
    EXPECT_GE(updates, 1);
    EXPECT_LE(updates, 30);
}

// What the list shows, line by line, with each line's time.
std::vector<std::tuple<std::string, PuzzleLine::Kind, std::uint64_t>> ShownLines(const PuzzleListModel& model)
{
    std::vector<std::tuple<std::string, PuzzleLine::Kind, std::uint64_t>> shown;
    for (std::size_t row = 0; row < model.Shown(); ++row)
        shown.emplace_back(model.At(row).Caption, model.At(row).KindTag, model.At(row).Modified);
    return shown;
}

// A long random run of creates, deletes, renames (in case too) and replacements by a move, with
// the list filtered and sorted, shows after each burst exactly what a new listing shows.
TEST_F(MainWindowTest, ARandomRunOfChangesShowsWhatAFullListingShows)
{
    std::mt19937 random(20261211);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto fileName = [&] {
        return "Puzzle " + std::to_string(pick(30)) + (pick(2) ? "a" : "B") + (pick(2) ? ".JGF" : ".jwf");
    };
    struct View {
        const char* filter;
        SortOrder sort;
    };
    for (const View& view :
         {View{"", {}}, View{"1", {SortColumn::Name, true}}, View{"a", {SortColumn::Modified, false}}}) {
        config_.ListSort = view.sort.Stored();
        std::atomic<int> refills{0};
        refillProbe_ = [&] { ++refills; };
        MainWindow& w = Open();
        ::SetWindowTextA(w.SearchField(), view.filter);
        std::vector<std::string> files;
        for (int burst = 0; burst < 12; ++burst) {
            for (int change = pick(8) + 1; change > 0; --change) {
                const std::string made = fileName();
                const int kind = files.empty() ? 0 : pick(5);
                const std::string old =
                    files.empty() ? "" : files[static_cast<std::size_t>(pick(static_cast<int>(files.size())))];
                if (kind == 0) {
                    Touch(repository_ / made);
                } else if (kind == 1) {
                    ::DeleteFileA((repository_ / old).c_str());
                } else if (kind == 2) {
                    ::MoveFileA((repository_ / old).c_str(), (repository_ / made).c_str());
                } else if (kind == 3) {
                    std::string upper = old;
                    ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
                    ::MoveFileA((repository_ / old).c_str(), (repository_ / upper).c_str());
                } else {
                    Touch(repository_ / "new.tmp");
                    ::MoveFileExA((repository_ / "new.tmp").c_str(), (repository_ / old).c_str(),
                                  MOVEFILE_REPLACE_EXISTING);
                }
                files.clear();
                for (const PuzzleLine& line : puzzles::ListPuzzleFiles(repository_.Path()).lines)
                    files.push_back(line.Caption + puzzles::TraitsOf(line.KindTag).extension);
            }
            PuzzleListModel listed;
            const auto expected = [&] {
                listed.SetLines(puzzles::ListPuzzleFiles(repository_.Path()).lines);
                listed.SetFilter(win::UpperCase(view.filter));
                listed.SetSort(view.sort);
                return ShownLines(listed);
            };
            EXPECT_TRUE(WaitUntil([&] { return ShownLines(w.Model()) == expected(); }, 5s))
                << "burst " << burst << " filter " << view.filter;
        }
        EXPECT_EQ(refills, 1);  // the start's listing; every change after it came by name
        window_.reset();
    }
}

// The window shows before its first listing is done, its list busy; closed meanwhile, it waits for
// the listing and ends.
TEST_F(MainWindowTest, TheWindowShowsBeforeItsFirstListingAndClosesWhileItRuns)
{
    Touch(repository_ / "Slow.JGF");
    window_ = std::make_unique<MainWindow>(*settings_, [](const std::string& repository) {
        ::Sleep(300);
        return puzzles::ListPuzzleFiles(repository);
    });
    ASSERT_TRUE(window_->Create());
    window_->Show();
    EXPECT_TRUE(::IsWindowVisible(window_->Handle()));
    EXPECT_TRUE(window_->Listing());
    EXPECT_EQ(window_->ListHint(), "Listing your puzzles...");
    EXPECT_TRUE(WaitForCaptions({"Slow"}));
    EXPECT_EQ(window_->ListHint(), "");

    window_ = std::make_unique<MainWindow>(*settings_, [](const std::string& repository) {
        ::Sleep(300);
        return puzzles::ListPuzzleFiles(repository);
    });
    ASSERT_TRUE(window_->Create());
    window_->Show();
    const auto started = std::chrono::steady_clock::now();
    ::SendMessageA(window_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window_->Handle(), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
}

TEST_F(MainWindowTest, ClosingDuringAStormOfChangesEndsWithinASecond)
{
    MainWindow& w = Open();
    std::atomic<bool> stop{false};
    std::atomic<int> cycles{0};
    std::thread storm([&] {
        for (int i = 0; i < 1000 && !stop; ++i) {
            std::string name = repository_ / ("Storm" + std::to_string(i % 7) + ".JGF");
            Touch(name);
            ::DeleteFileA(name.c_str());
            ++cycles;
        }
    });
    WaitUntil([&] { return cycles >= 200; }, 20s);
    auto started = std::chrono::steady_clock::now();
    ::SendMessageA(w.Handle(), WM_CLOSE, 0, 0);
    auto took = std::chrono::steady_clock::now() - started;
    stop = true;
    storm.join();
    EXPECT_EQ(w.Handle(), nullptr);
    EXPECT_LT(took, 1s);
}

TEST_F(MainWindowTest, AFailedRefillReachesTheExceptionHookOnTheWindowsThread)
{
    std::atomic<int> refills{0};
    refillProbe_ = [&] {
        if (++refills == 2)
            throw std::runtime_error("refill failed");
    };
    std::string seen;
    DWORD seenOn = 0;
    auto previous = win::SetExceptionHook([&](const win::CaughtException& caught) {
        seenOn = ::GetCurrentThreadId();
        try {
            std::rethrow_exception(caught.error);
        } catch (const std::exception& e) {
            seen = e.what();
        }
    });
    Open();
    TempFolder other;
    config_.SetRepository(other.Path());  // the watcher's refill
    EXPECT_TRUE(WaitUntil([&] { return !seen.empty(); }));
    win::SetExceptionHook(previous);
    EXPECT_EQ(seen, "refill failed");
    EXPECT_EQ(seenOn, ::GetCurrentThreadId());
}

TEST(MainWindowPopup, OnlyTheRightButtonAloneOpensIt)
{
    struct Case {
        UINT message;
        WPARAM keys;
        bool alt;
        bool opens;
    };
    const Case cases[] = {{WM_RBUTTONDOWN, MK_RBUTTON, false, true},
                          {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, false, false},
                          {WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, false, false},
                          {WM_RBUTTONDOWN, MK_RBUTTON, true, false},
                          {WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON, false, false},
                          {WM_LBUTTONDOWN, MK_LBUTTON, false, false}};
    for (const auto& c : cases)
        EXPECT_EQ(OpensPopup(c.message, c.keys, c.alt), c.opens) << c.keys << " " << c.alt;
}

TEST_F(MainWindowTest, ExitAndAltF4CloseTheWindowAndSaveTheSettings)
{
    for (bool exitCommand : {true, false}) {
        ClearProductKeys();
        MainWindow& w = Open();
        ListView_SetColumnWidth(List(), 1, exitCommand ? 111 : 99);
        if (exitCommand)
            ::SendMessageA(w.Handle(), WM_COMMAND, IDM_EXIT, 0);
        else
            ::SendMessageA(w.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(w.Handle(), nullptr);
        win::RegistryAccessor user(HKEY_CURRENT_USER);
        ASSERT_TRUE(user.OpenKeyReadOnly(ProductKeyPath));
        EXPECT_EQ(user.ReadInteger("Column 2"), exitCommand ? 111u : 99u);
    }
}

TEST_F(MainWindowTest, AfterAResizeTheStatusBarAndTheHeaderAreDrawnAnewWhole)
{
    MainWindow& w = Open();
    HWND header = ListView_GetHeader(List());
    for (const auto& [width, height] : {std::pair{700, 500}, std::pair{900, 650}, std::pair{600, 400}}) {
        ::UpdateWindow(w.Handle());
        ::RedrawWindow(w.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ::SetWindowPos(w.Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        for (HWND part : {w.StatusBar(), header}) {
            RECT client{}, update{};
            ::GetClientRect(part, &client);
            ::GetUpdateRect(part, &update, FALSE);
            EXPECT_TRUE(::EqualRect(&client, &update)) << width << (part == header ? " header" : " status bar");
        }
    }
}

TEST_F(MainWindowTest, ImportCommandRunsTheFileDialogThenTheImportDialog)
{
    TempFolder collections;
    std::string bytes;
    for (const char* title : {"Robins", "Wrens"}) {
        std::vector<std::uint8_t> record(69623, 0);
        record[6] = 2;
        record[7] = 'K';
        record[8] = '7';
        record[27] = static_cast<std::uint8_t>(std::strlen(title));
        std::memcpy(&record[28], title, std::strlen(title));
        bytes.append(record.begin(), record.end());
    }
    WriteFileText(collections / "birds.cw3", bytes);
    WriteFileText(repository_ / "(K7) Wrens.JGF", "an earlier puzzle");
    Touch(repository_ / "Aardvark.JGF");
    MainWindow& w = Open();
    std::vector<std::string> seen;
    std::atomic<bool> stop{false};
    std::thread driver([&] {
        while (!stop) {
            HWND dialog = ::FindWindowA("#32770", "Import Puzzle(s)");
            if (dialog != nullptr && ::IsWindowVisible(dialog)) {
                ::Sleep(100);
                if (::GetDlgItem(dialog, IDC_IMPORT_LIST) != nullptr) {
                    seen.push_back("import dialog");
                    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_SELECT, BN_CLICKED), 0);
                    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_OK, BN_CLICKED), 0);
                } else {
                    seen.push_back("file dialog");
                    HWND name = ::GetDlgItem(dialog, 0x47C);  // the file name box
                    if (name == nullptr)
                        name = ::GetDlgItem(dialog, 0x480);
                    ::SetWindowTextA(name, (collections / "birds.cw3").c_str());
                    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                }
                while (::IsWindow(dialog) && !stop)
                    ::Sleep(20);
            }
            ::Sleep(20);
        }
    });
    ::SendMessageA(w.Handle(), WM_COMMAND, IDM_IMPORT, 0);
    stop = true;
    driver.join();
    EXPECT_EQ(seen, (std::vector<std::string>{"file dialog", "import dialog"}));
    EXPECT_TRUE(win::FileExists(repository_ / "(K7) Robins.JGF"));
    EXPECT_TRUE(win::FileExists(repository_ / "(K7) Wrens.JGF"));
    EXPECT_TRUE(WaitForCaptions({"(K7) Robins", "(K7) Wrens", "Aardvark"}));
    // The puzzles written are selected, and the status bar says what the import did until the
    // next command.
    EXPECT_EQ(w.SelectedPuzzlePaths(),
              (std::vector<std::string>{repository_ / "(K7) Robins.JGF", repository_ / "(K7) Wrens.JGF"}));
    EXPECT_EQ(w.StatusText(1), "Imported 2 puzzles (1 replaced an earlier file).");
    w.SetFolderShower([](HWND, const std::string&, const std::vector<std::string>&) { return S_OK; });
    ::SendMessageA(w.Handle(), WM_COMMAND, IDM_SHOW_IN_FOLDER, 0);
    EXPECT_EQ(w.StatusText(1), config_.GetRepository());
}

TEST_F(MainWindowTest, ANewRepositoryChosenInThePreferencesIsListedWithinASecond)
{
    TempFolder other;
    Touch(other / "Moved.JWF");
    MainWindow& w = Open();
    std::thread driver([&] {
        HWND dialog = nullptr;
        WaitUntil([&] {
            dialog = ::FindWindowA("#32770", "Preferences");
            return dialog != nullptr && ::IsWindowVisible(dialog);
        });
        ::SetDlgItemTextA(dialog, IDC_PREFS_REPOSITORY, other.Path().c_str());
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    ::SendMessageA(w.Handle(), WM_COMMAND, IDM_PREFS, 0);
    driver.join();
    EXPECT_EQ(config_.GetRepository(), other.Path());
    EXPECT_TRUE(WaitForCaptions({"Moved"}, 1s));
}

TEST_F(MainWindowTest, BarsShowEveryCommandInItsPlaceWithItsCaptionHintAndPicture)
{
    MainWindow& w = Open();
    auto items = [](HMENU menu) {
        std::vector<std::string> texts;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            texts.push_back(text);
        }
        return texts;
    };
    HMENU bar = ::GetMenu(w.Handle());
    HMENU help = ::GetSubMenu(bar, 2);
    struct Menu {
        HMENU menu;
        std::vector<std::string> items;
    };
    const Menu menus[] = {
        {bar, {"&Puzzle", "&Options", "&Help"}},
        {::GetSubMenu(bar, 0),
         {"&Play Puzzle\tEnter", "&Delete Puzzle\tDel", "Rena&me\tF2", "Show in &Folder", "", "&Import Puzzle(s)...", "",
          "E&xit\tAlt+F4"}},
        {::GetSubMenu(bar, 1), {"Configure &Bug Reporter...", "&Preferences..."}},
        {help, {"Gridlark &Help...\tF1", "", "&On The Web", "", "&About..."}},
        {::GetSubMenu(help, 2),
         {"&Home Page", "", "Download more puzzles", "", "Check For &Update", "&Knowledgebase", "&Support"}},
        {w.Bars().Popup(0),
         {"&Play Puzzle\tEnter", "&Delete Puzzle\tDel", "Rena&me\tF2", "Show in &Folder", "", "&Import Puzzle(s)..."}},
    };
    for (const auto& m : menus)
        EXPECT_EQ(items(m.menu), m.items);

    struct Button {
        int id;  // 0 for a separator
        const char* hint;
        int picture;
    };
    const Button buttons[] = {{IDM_PLAY, "Play Puzzle", 2},
                              {IDM_DELETE, "Delete Puzzle", 3},
                              {0, "", 0},
                              {IDM_IMPORT, "Import Puzzle(s)", 6},
                              {0, "", 0},
                              {IDM_PREFS, "Preferences", 5},
                              {0, "", 0},
                              {IDM_HELP, "Gridlark Help", 4}};
    HWND toolbar = w.Bars().Toolbar();
    ASSERT_EQ(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(std::size(buttons)));
    for (int i = 0; i < static_cast<int>(std::size(buttons)); ++i) {
        const Button& b = buttons[i];
        TBBUTTON button{};
        ::SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ((button.fsStyle & BTNS_SEP) != 0, b.id == 0) << i;
        if (b.id == 0)
            continue;
        EXPECT_EQ(button.idCommand, b.id);
        EXPECT_EQ(button.iBitmap, b.picture);
        NMTTDISPINFOA tip{};
        tip.hdr.hwndFrom = toolbar;
        tip.hdr.idFrom = static_cast<UINT_PTR>(b.id);
        tip.hdr.code = TTN_GETDISPINFOA;
        ::SendMessageA(w.Handle(), WM_NOTIFY, static_cast<WPARAM>(b.id), reinterpret_cast<LPARAM>(&tip));
        ASSERT_NE(tip.lpszText, nullptr);
        EXPECT_STREQ(tip.lpszText, b.hint);
    }
    EXPECT_NE(::GetWindowLongA(::GetParent(List()), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(MainWindowTest, WebCommandsOpenTheVendorsPagesWithAndWithoutTheReferralTag)
{
    TempFolder temp;
    StubLog log(temp);
    MainWindow& w = Open();
    const std::pair<int, std::string> pages[] = {
        {IDM_HOMEPAGE, "http://www.orvanel.example/gridlark"},
        {IDM_KNOWLEDGEBASE, "http://www.orvanel.example/gridlark/kb.htm"},
        {IDM_SUPPORT, "http://www.orvanel.example/gridlark/support.htm"},
        {IDM_CHECKFORUPDATE, "http://www.orvanel.example/gridlark/upd/glv1_0b.htm"}};
    std::vector<std::string> expected;
    for (const char* tag : {"", "?ID=A7x2"}) {
        if (*tag != '\0') {
            win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
            machine.OpenKey(ProductKeyPath, true);
            machine.WriteString("Install File", "C:\\Downloads\\setup-A7x2.exe");
        }
        for (const auto& [id, address] : pages) {
            ::SendMessageA(w.Handle(), WM_COMMAND, static_cast<WPARAM>(id), 0);
            expected.push_back(address + tag);
            log.WaitFor(expected.size());
        }
    }
    std::vector<std::string> opened;
    for (const auto& record : log.WaitFor(expected.size()))
        opened.push_back(record.parameters);
    EXPECT_EQ(opened, expected);
}

TEST_F(MainWindowTest, WithoutAJavaFolderTheNoticeComesBeforeTheWindowIsShown)
{
    config_.JavaPath = "  ";
    bool mainWindowVisible = true;
    WindowCatcher catcher([&](HWND notice) {
        HWND main = ::GetWindow(notice, GW_OWNER);
        mainWindowVisible = main != nullptr && ::IsWindowVisible(main);
        PressButton(notice, "OK");
    });
    Open();
    CapturedWindow notice = catcher.Result();
    ASSERT_TRUE(notice.found);
    EXPECT_EQ(notice.caption, "Gridlark");
    EXPECT_EQ(notice.owner, window_->Handle());
    EXPECT_FALSE(mainWindowVisible);
}

TEST_F(MainWindowTest, ARightClickOpensThePopupAtTheCursor)
{
    Touch(repository_ / "Cats.JGF");
    Open();
    std::atomic<bool> popupSeen{false};
    std::thread closer([&] {
        for (int i = 0; i < 500 && !popupSeen; ++i) {
            if (HWND menu = ShownPopupMenu()) {
                popupSeen = true;
                ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            }
            ::Sleep(20);
        }
    });
    // The list follows the button until it is released; the release is already waiting.
    ::PostMessageA(List(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    ::SendMessageA(List(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    closer.join();
    EXPECT_TRUE(popupSeen);
}

namespace {

class FindAndSortTest : public MainWindowTest {
protected:
    // The lines shown, in their order.
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> shown;
        for (int i = 0; i < ListView_GetItemCount(List()); ++i)
            shown.push_back(ItemText(List(), i, 0));
        return shown;
    }
    void Search(const char* text) { ::SetWindowTextA(window_->SearchField(), text); }
    int HeaderArrow(int column) const
    {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(ListView_GetHeader(List()), column, &item);
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    void Library()
    {
        const std::pair<const char*, WORD> files[] = {
            {"Puzzle 10.JGF", 3}, {"puzzle 2.JWF", 1}, {"Animals.JWF", 2}, {"Puzzle 2.JGF", 4}};
        for (const auto& [name, day] : files) {
            Touch(repository_ / name);
            SetModifiedDay(repository_ / name, day);
        }
    }
};

}  // namespace

TEST_F(FindAndSortTest, TheFilterShowsNamesContainingTheTextInAnyCaseAndEscClearsIt)
{
    Library();
    MainWindow& w = Open();
    struct Case {
        const char* text;
        std::vector<std::string> shown;  // sorted
        const char* status;
    };
    const Case cases[] = {
        {"zzle 1", {"Puzzle 10"}, "Items: 1 of 4"},
        {"PUZZLE 2", {"Puzzle 2", "puzzle 2"}, "Items: 2 of 4"},
        {"ani", {"Animals"}, "Items: 1 of 4"},
        {"nothing", {}, "Items: 0 of 4"},
        {"", {"Animals", "Puzzle 10", "Puzzle 2", "puzzle 2"}, "Items: 4"},
    };
    for (const auto& c : cases) {
        Search(c.text);
        auto shown = Shown();
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, c.shown) << c.text;
        EXPECT_EQ(w.StatusText(0), c.status) << c.text;
    }
    // The filter stays over a refill; Esc clears it and goes back to the list.
    Search("ani");
    Touch(repository_ / "Animal Farm.JGF");
    EXPECT_TRUE(WaitUntil([&] { return Shown().size() == 2; }));
    EXPECT_EQ(w.StatusText(0), "Items: 2 of 5");
    ::SetFocus(w.SearchField());
    ::SendMessageA(w.SearchField(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Shown().size(), 5u);
    EXPECT_EQ(::GetFocus(), List());
    // Ctrl+F and F3 from the list go to the search field.
    ::SendMessageA(List(), WM_KEYDOWN, VK_F3, 0);
    EXPECT_EQ(::GetFocus(), w.SearchField());
    char cue[64] = {};
    ::SendMessageW(w.SearchField(), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), sizeof(cue) / sizeof(wchar_t));
    EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(cue)), L"Search puzzles");
}

TEST_F(FindAndSortTest, AHeaderClickSortsByItsColumnAndTheChoiceIsStoredForTheNextStart)
{
    Library();
    Open();
    const std::vector<std::string> enumeration = Shown();  // no stored sort: the folder's order
    std::vector<std::string> listed;
    WIN32_FIND_DATAA entry;
    win::UniqueFindHandle find(::FindFirstFileA((repository_ / "*.J?F").c_str(), &entry));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileA(find.get(), &entry))
        listed.push_back(std::string(entry.cFileName).substr(0, std::strlen(entry.cFileName) - 4));
    EXPECT_EQ(enumeration, listed);
    EXPECT_EQ(HeaderArrow(0) | HeaderArrow(1) | HeaderArrow(2), 0);

    struct Case {
        int column;
        std::vector<std::string> shown;
        int arrow;
    };
    const Case cases[] = {
        {0, {"Animals", "puzzle 2", "Puzzle 2", "Puzzle 10"}, HDF_SORTUP},
        {0, {"Puzzle 10", "puzzle 2", "Puzzle 2", "Animals"}, HDF_SORTDOWN},
        {1, {"Puzzle 2", "Puzzle 10", "Animals", "puzzle 2"}, HDF_SORTUP},
        {2, {"Puzzle 2", "Puzzle 10", "Animals", "puzzle 2"}, HDF_SORTDOWN},  // newest first
        {2, {"puzzle 2", "Animals", "Puzzle 10", "Puzzle 2"}, HDF_SORTUP},
    };
    for (const auto& c : cases) {
        ClickColumn(c.column);
        auto shown = Shown();
        // Names equal but for case keep the folder's order between them.
        EXPECT_EQ(shown.size(), c.shown.size());
        for (std::size_t i = 0; i < shown.size() && i < c.shown.size(); ++i)
            EXPECT_TRUE(::lstrcmpiA(shown[i].c_str(), c.shown[i].c_str()) == 0) << c.column << " " << i;
        EXPECT_EQ(HeaderArrow(c.column), c.arrow);
    }
    EXPECT_FALSE(ItemText(List(), 0, 2).empty());  // the Modified column shows the date

    ::SendMessageA(window_->Handle(), WM_CLOSE, 0, 0);
    Settings reloaded;
    reloaded.Load();
    reloaded.JavaPath = StubsFolder();
    settings_ = &reloaded;
    Open();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"puzzle 2", "Animals", "Puzzle 10", "Puzzle 2"}));
    EXPECT_EQ(HeaderArrow(2), HDF_SORTUP);
}

TEST_F(FindAndSortTest, NamesSortAsExplorerShowsThemWithNumbersByValueAndAccentsBesideTheirLetter)
{
    for (const char* name : {"Puzzle 10.JGF", "Zebra.JGF", "(\xE9t\xE9) Caf\xE9 Cr\xE8me.JGF", "(zoo) Owls.JWF",
                             "puzzle 2.JWF", "(ete) Caff.JGF", "(ete) Apple.JGF", "Puzzle 9.JGF"})
        Touch(repository_ / name);
    Open();
    ClickColumn(0);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"(ete) Apple", "(\xE9t\xE9) Caf\xE9 Cr\xE8me", "(ete) Caff",
                                                 "(zoo) Owls", "puzzle 2", "Puzzle 9", "Puzzle 10", "Zebra"}));
    ClickColumn(0);  // and back
    EXPECT_EQ(Shown().front(), "Zebra");
    EXPECT_EQ(Shown().back(), "(ete) Apple");
}

TEST_F(FindAndSortTest, ShowInFolderOpensExplorerWithTheSelectedPuzzlesSelected)
{
    Library();
    MainWindow& w = Open();
    ClickColumn(0);  // Animals, puzzle 2, Puzzle 2, Puzzle 10
    struct Call {
        std::string folder;
        std::vector<std::string> files;
    };
    std::vector<Call> calls;
    HRESULT withFiles = S_OK;
    w.SetFolderShower([&](HWND owner, const std::string& folder, const std::vector<std::string>& files) {
        EXPECT_EQ(owner, w.Handle());
        calls.push_back({folder, files});
        return files.empty() ? S_OK : withFiles;
    });
    const auto showInFolder = [&] {
        calls.clear();
        ::SendMessageA(w.Handle(), WM_COMMAND, IDM_SHOW_IN_FOLDER, 0);
        return calls;
    };
    const std::string folder = config_.GetRepository();
    ListView_SetItemState(List(), 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(List(), 3, LVIS_SELECTED, LVIS_SELECTED);
    auto made = showInFolder();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].folder, folder);
    EXPECT_EQ(made[0].files, (std::vector<std::string>{repository_ / "Animals.JWF", repository_ / "Puzzle 10.JGF"}));
    // Where Explorer cannot select them, the folder still opens.
    withFiles = E_NOTIMPL;
    made = showInFolder();
    ASSERT_EQ(made.size(), 2u);
    EXPECT_TRUE(made[1].files.empty());
    // With nothing selected: the folder alone.
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    made = showInFolder();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(made[0].files.empty());
    EXPECT_TRUE(w.Bars().IsEnabled(IDM_SHOW_IN_FOLDER));
}

TEST_F(FindAndSortTest, TypingInTheListJumpsToTheNextNameStartingWithTheLetters)
{
    Library();
    Touch(repository_ / "Zebra.JGF");
    Touch(repository_ / "Zoo.JWF");
    Open();
    ClickColumn(0);  // Animals, puzzle 2, Puzzle 2, Puzzle 10, Zebra, Zoo
    ::SetFocus(List());
    ::SendMessageA(List(), WM_CHAR, 'z', 1);
    EXPECT_EQ(Focused(), 4);
    ::SendMessageA(List(), WM_CHAR, 'o', 1);  // typed at once: "zo"
    EXPECT_EQ(Focused(), 5);
    EXPECT_EQ(SelectedRows(), std::vector<int>{5});
}

TEST_F(FindAndSortTest, TheSelectionKeepsItsLineAcrossARefillAndPassesToANeighbourWhenItGoes)
{
    Library();
    Open();
    ClickColumn(0);  // Animals, then both "Puzzle 2" in the folder's order, then Puzzle 10
    const std::string puzzle2 = repository_ / "Puzzle 2.JGF";
    int row = 1;
    Select(row);
    if (window_->SelectedPuzzlePath() != puzzle2)
        Select(++row);
    ASSERT_EQ(window_->SelectedPuzzlePath(), puzzle2);
    // Another program adds a puzzle that comes first.
    Touch(repository_ / "Aardvark.JGF");
    ASSERT_TRUE(WaitUntil([&] { return Shown().size() == 5; }));
    EXPECT_EQ(SelectedRows(), std::vector<int>{row + 1});
    EXPECT_EQ(Focused(), row + 1);
    EXPECT_EQ(window_->SelectedPuzzlePath(), puzzle2);
    // It deletes the selected one: the line now standing there takes the selection.
    ::DeleteFileA(puzzle2.c_str());
    ASSERT_TRUE(WaitUntil([&] { return Shown().size() == 4; }));
    EXPECT_EQ(SelectedRows(), std::vector<int>{row + 1});
    EXPECT_EQ(Focused(), row + 1);
    EXPECT_NE(window_->SelectedPuzzlePath(), "");
}

TEST_F(FindAndSortTest, SeveralSelectedLinesGoToTheRecycleBinInOneOperationAndPlayNeedsOneLine)
{
    Library();
    MainWindow& w = Open();
    ClickColumn(0);
    ListView_SetItemState(List(), 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(List(), 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_FALSE(w.Bars().IsEnabled(IDM_PLAY));
    EXPECT_TRUE(w.Bars().IsEnabled(IDM_DELETE));
    WindowCatcher confirm("Yes");
    ::SendMessageA(List(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_TRUE(confirm.Result().found);
    EXPECT_FALSE(win::FileExists(repository_ / "Animals.JWF"));
    EXPECT_FALSE(win::FileExists(repository_ / "Puzzle 10.JGF"));
    EXPECT_TRUE(WaitUntil([&] { return Shown().size() == 2; }));
}

TEST_F(FindAndSortTest, AfterARefillTheSelectedLineStaysAtItsPlaceOnTheScreen)
{
    for (int i = 10; i < 90; ++i)
        Touch(repository_ / ("Puzzle " + std::to_string(i) + ".JGF"));
    Open();
    ClickColumn(0);
    ListView_EnsureVisible(List(), 79, FALSE);
    Select(70);
    const int fromTop = 70 - ListView_GetTopIndex(List());
    ASSERT_GT(ListView_GetTopIndex(List()), 0);
    Touch(repository_ / "Puzzle 01.JGF");  // comes first: every line moves down by one
    ASSERT_TRUE(WaitUntil([&] { return Shown().size() == 81; }));
    EXPECT_EQ(SelectedRows(), std::vector<int>{71});
    EXPECT_EQ(71 - ListView_GetTopIndex(List()), fromTop);
}

TEST_F(MainWindowTest, AnEmptyLibraryShowsHowToImportAndWhereThePuzzlesAreKept)
{
    Open();
    const std::string hint = window_->ListHint();
    EXPECT_NE(hint.find("Puzzle | Import Puzzle(s)... (Alt+P, I)"), std::string::npos) << hint;
    EXPECT_NE(hint.find(config_.GetRepository()), std::string::npos) << hint;
    EXPECT_EQ(ListView_GetItemCount(List()), 0);  // the hint is painted, not a line
    Touch(repository_ / "Cats.JGF");
    ASSERT_TRUE(WaitForCaptions({"Cats"}));
    EXPECT_EQ(window_->ListHint(), "");
}

TEST_F(MainWindowTest, TemporaryFilesThatAKilledImportLeftAreRemovedAfterTheStart)
{
    const DWORD endedProcess = EndedProcessId();
    ASSERT_NE(endedProcess, 0u);
    const std::string endedId = std::to_string(endedProcess);
    const std::string staging = repository_ / "~gridlark\\";
    ::CreateDirectoryA(staging.c_str(), nullptr);
    const std::string stale = staging + "~gridlark-" + endedId + "-1-0.tmp";
    WriteFileText(stale, "partial");
    Touch(repository_ / "Cats.JGF");
    Open();
    EXPECT_TRUE(WaitUntil([&] { return !win::FileExists(stale) && !win::DirectoryExists(staging); }));
    EXPECT_TRUE(win::FileExists(repository_ / "Cats.JGF"));
}
