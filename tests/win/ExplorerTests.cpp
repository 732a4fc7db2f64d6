// Collections and puzzles from Explorer: --import, the hand-over of a second start to the running
// window, and files dropped on the main window.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <thread>

#include "core/CommandLine.h"
#include "app/MainWindow.h"
#include "res/resource.h"
#include "tests/win/MainWindowFixture.h"
#include "tests/win/TestSupport.h"
#include "win/Handles.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// A real drop as the shell makes it: DROPFILES followed by the wide paths, each ended by a zero,
// and one zero more.
HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    std::wstring list;
    for (const auto& path : paths)
        list += path + L'\0';
    list += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Answers the next message box of this process captioned "Gridlark" with OK; answers its text.
std::string AnswerMessageBox(RECT* bounds = nullptr)
{
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = ::FindWindowA("#32770", "Gridlark")) != nullptr && ::IsWindowVisible(box); }))
        return {};
    if (bounds != nullptr)
        ::GetWindowRect(box, bounds);

    const CapturedWindow shown = Capture(box);
    PressButton(box, "OK");
    WaitUntil([&] { return !::IsWindow(box); });
    std::string text;
    for (const auto& line : shown.texts)
        text += line + "\n";
    return text;
}

}  // namespace

TEST_F(MainWindowTest, CollectionsNamedFromOutsideAreCheckedFirstAndEveryFailureIsInOneMessage)
{
    TempFolder collections;
    WriteFileText(collections / "empty.ws3", "");
    WriteFileText(collections / "win.ini", "[windows]\r\n");
    WriteFileText(collections / "short.cw3", std::string(100, 'x'));
    std::vector<std::string> files{
        collections / "missing.cw3", WriteCollection(collections, "birds.cw3", "Garden Birds", true),
        collections / "empty.ws3",   collections / "win.ini",
        collections / "short.cw3",   WriteCollection(collections, "fruit.ws3", "Fruit", false)};
    // A path of thousands of characters still gives a box that fits on the screen.
    std::string deep = collections.Path();
    while (deep.size() < 3000)
        deep += "a folder with a long name\\";
    files.push_back(deep + "deep.cw3");
    for (int i = 0; i < 1000; ++i)
        files.push_back(collections / ("gone" + std::to_string(i) + ".cw3"));
    std::swap(files[6], files[5]);  // the deep path among the files named in full
    MainWindow& w = Open();
    // One message for everything that cannot be read, then a dialog for each readable collection,
    // cancelled in turn.
    std::vector<std::string> shown;
    RECT box{};
    std::thread answerer([&] {
        shown.push_back(AnswerMessageBox(&box));
        shown.push_back(CancelImportDialog());
        shown.push_back(CancelImportDialog());
    });
    w.OpenImportsLater(files);
    PumpMessages();
    answerer.join();
    ASSERT_EQ(shown.size(), 3u);
    for (const std::string& part :
         {files[0] + "\r\n    It does not exist.", files[2] + "\r\n    It is empty.",
          files[3] + "\r\n    It is not a puzzle collection", files[4] + "\r\n    It holds no puzzle",
          std::string("and 995 more"), std::string("\r\n    Its path is too long")})
        EXPECT_NE(shown[0].find(part), std::string::npos) << part << "\n" << shown[0];
    EXPECT_LE(box.right - box.left, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(box.bottom - box.top, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_NE(shown[1].find("Garden Birds"), std::string::npos);
    EXPECT_NE(shown[2].find("Fruit"), std::string::npos);
    // No box and no dialog more.
    PumpMessages();
    EXPECT_EQ(VisibleDialogOf(::GetCurrentProcessId()), nullptr);
    EXPECT_TRUE(::IsWindow(w.Handle()));
}

TEST_F(MainWindowTest, AHandOverIsReadOnlyWhenItIsWellFormedAndSentByAWindowOfThisUser)
{
    TempFolder collections;
    const std::string birds = WriteCollection(collections, "birds.cw3", "Garden Birds", true);
    const std::string fruit = WriteCollection(collections, "fruit.ws3", "Fruit", false);
    MainWindow& w = Open();
    win::UniqueHWnd sender(
        ::CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    const auto send = [&](HWND from, ULONG_PTR tag, std::string bytes) {
        COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), bytes.data()};
        return ::SendMessageA(w.Handle(), WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data));
    };
    const std::string wellFormed = birds + '\0';
    struct Case {
        const char* what;
        HWND from;
        ULONG_PTR tag;
        std::string bytes;
    };
    const Case ignored[] = {
        {"another tag", sender.get(), app::kHandOverTag + 1, wellFormed},
        {"no sender", nullptr, app::kHandOverTag, wellFormed},
        {"a sender that is no window", reinterpret_cast<HWND>(0x1234), app::kHandOverTag, wellFormed},
        {"no zero at the end", sender.get(), app::kHandOverTag, birds},
        {"an empty path", sender.get(), app::kHandOverTag, wellFormed + '\0'},
        {"a relative path", sender.get(), app::kHandOverTag, std::string("birds.cw3") + '\0'},
    };
    for (const auto& c : ignored)
        EXPECT_EQ(send(c.from, c.tag, c.bytes), FALSE) << c.what;

    // The one well-formed hand-over opens its file, and nothing of the ignored ones comes before it.
    std::string shown;
    std::thread answerer([&] { shown = CancelImportDialog(); });
    EXPECT_EQ(send(sender.get(), app::kHandOverTag, fruit + '\0'), TRUE);
    PumpMessages();
    answerer.join();
    EXPECT_NE(shown.find("Fruit"), std::string::npos) << shown;
}

TEST_F(MainWindowTest, ASecondStartHandsItsCollectionToTheRunningWindowAndEnds)
{
    TempFolder collections;
    const std::string birds = WriteCollection(collections, "birds.cw3", "Garden Birds", true);
    config_.Save();
    const std::string exe = DistFolder() + "gridlark.exe";
    win::UniqueHandle first(StartProgram(exe, ""));
    ASSERT_TRUE(first);
    const DWORD firstId = ::GetProcessId(first.get());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = MainWindowOf(firstId)) != nullptr; }, 30s));
    win::ScopeExit closeFirst([&] {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(first.get(), 30000) != WAIT_OBJECT_0)
            ::TerminateProcess(first.get(), 1);
    });

    // Busy in its about box, the window takes the file and opens it only once the box closes.
    ::PostMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = VisibleDialogOf(firstId)) != nullptr; }));
    // Started in the collection's folder and naming it by its bare name: the running window, whose
    // current folder is another, still gets the right file.
    ProcessResult second;
    {
        ScopedCurrentFolder there(collections.Path());
        second = RunProgram(exe, std::string(app::kImportArgument) + " birds.cw3");
    }
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0u);
    // Messages posted to one thread arrive in their order: once this column width is set, the
    // window has met the hand-over's own request to open the file.
    HWND list = FindListView(window);
    ASSERT_NE(list, nullptr);
    ::PostMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(177, 0));
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetColumnWidth(list, 0) == 177; }));
    EXPECT_EQ(VisibleDialogOf(firstId), about);

    std::string shown;
    std::thread answerer([&] { shown = CancelImportDialog(); });
    ::PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    answerer.join();
    EXPECT_NE(shown.find("Garden Birds"), std::string::npos) << shown;

    // A start without files only brings the running window to the front, and ends.
    const ProcessResult third = RunProgram(exe, "");
    EXPECT_TRUE(third.finished);
    EXPECT_EQ(third.exitCode, 0u);
    EXPECT_EQ(::GetForegroundWindow(), window);
    EXPECT_EQ(::WaitForSingleObject(first.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(MainWindowTest, DroppedPuzzlesGoInWithoutOverwritingAndEveryOtherFileIsReported)
{
    TempFolder source;
    WriteFileText(repository_ / "Owls.JGF", "old owls");
    const std::string birds = WriteCollection(source, "birds.cw3", "Garden Birds", true);
    WriteFileText(source / "Owls.JGF", "new owls");
    WriteFileText(source / "Fruit.jwf", "fruit");
    WriteFileText(source / "notes.txt", "notes");
    WriteFileText(source / "empty.JGF", "");
    WriteFileText(source / "locked.JWF", "locked");
    ::CreateDirectoryA((source / "folder.JGF").c_str(), nullptr);
    win::UniqueHandle lock(
        ::CreateFileA((source / "locked.JWF").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    const std::wstring unwritable = Wide(source.Path()) + L"\u4E2D\u6587.JGF";
    ::CloseHandle(::CreateFileW(unwritable.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const std::wstring tooLong = Wide(source.Path()) + std::wstring(MAX_PATH, L'a') + L".JGF";

    struct Failure {
        std::string name;
        const char* reason;
    };
    const Failure failures[] = {
        {"empty.JGF", "It is empty."},
        {"locked.JWF", "It is open in another program."},
        {"folder.JGF", "It is a folder"},
        {"gone.JWF", "It does not exist."},
        {"??.JGF", "Its name has characters that Gridlark cannot use"},
        {"aaaa.JGF", "Its path is too long"},
    };
    MainWindow& w = Open();
    std::vector<std::wstring> dropped{Wide(birds),
                                      Wide(source / "Owls.JGF"),
                                      Wide(source / "Fruit.jwf"),
                                      Wide(source / "notes.txt"),
                                      Wide(source / "empty.JGF"),
                                      Wide(source / "locked.JWF"),
                                      Wide(source / "folder.JGF"),
                                      Wide(source / "gone.JWF"),
                                      unwritable,
                                      tooLong};
    std::string text, imported;
    std::thread answerer([&] {
        text = AnswerMessageBox();
        imported = CancelImportDialog();
    });
    ::PostMessageA(w.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(dropped)), 0);
    PumpMessages();
    answerer.join();

    for (const auto& failure : failures) {
        const auto at = text.find(failure.name);
        ASSERT_NE(at, std::string::npos) << failure.name << " in\n" << text;
        EXPECT_NE(text.find(failure.reason, at), std::string::npos) << failure.reason;
    }
    EXPECT_NE(text.find("notes.txt"), std::string::npos);
    EXPECT_EQ(text.find("Owls"), std::string::npos);
    EXPECT_NE(imported.find("Garden Birds"), std::string::npos) << imported;

    EXPECT_EQ(FolderEntries(repository_.Path()), (std::vector<std::string>{"Fruit.JWF", "Owls (2).JGF", "Owls.JGF"}));
    EXPECT_EQ(ReadFileText(repository_ / "Owls.JGF"), "old owls");
    EXPECT_EQ(ReadFileText(repository_ / "Owls (2).JGF"), "new owls");
    EXPECT_EQ(ReadFileText(repository_ / "Fruit.JWF"), "fruit");
    EXPECT_TRUE(WaitForCaptions({"Fruit", "Owls", "Owls (2)"}));
}
