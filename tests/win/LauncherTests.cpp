// Playing a puzzle: gridlark.exe --play end to end with the stubs, and the launcher's notices.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/Launcher.h"
#include "jre/JavaNotice.h"
#include "core/Text.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;

namespace {

const std::string kNoticeTexts[] = {
    "The Java Runtime Environment (JRE) could not be found.",
    "The JRE is required in order to play the selected puzzle.",
    "If you do not currently have the JRE installed, you can download it from",
    "http://puzzles.orvanel.example/gridlark/jre.htm",
    "After it has been installed, please make sure that you go to Options | Preferences",
    "and select the directory to which it was installed.",
};

void StoreMachineSettings(const std::string& javaPath, bool noSound)
{
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKey(ProductKeyPath, true));
    machine.WriteString("Java Path", javaPath);
    machine.WriteInteger("No Sound", noSound ? 1 : 0);
}

// A program folder holding a copy of gridlark.exe and the named game programs.
class ProgramFolder {
public:
    explicit ProgramFolder(std::initializer_list<const char*> jars)
    {
        EXPECT_TRUE(CopyFileTo(DistFolder() + "gridlark.exe", Exe()));
        for (const char* jar : jars)
            WriteFileText(folder_ / jar, "game");
    }
    std::string Exe() const { return folder_ / "gridlark.exe"; }
    const std::string& Path() const { return folder_.Path(); }

private:
    TempFolder folder_;
};

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override { ClearProductKeys(); }
    void TearDown() override { ClearProductKeys(); }
};

}  // namespace

TEST_F(PlayTest, StartsTheGameOfThePuzzlesKindWithTheQuotedPath)
{
    struct Case {
        const char* arguments;
        bool noSound;
        const char* parameters;
    };
    const Case cases[] = {
        {"--play C:\\Puzzles\\Cats.JGF", false, "-jar Crossword.jar \"C:\\Puzzles\\Cats.JGF\""},
        {"--play C:\\Puzzles\\Cats.JGF", true, "-jar Crossword.jar \"C:\\Puzzles\\Cats.JGF\" --nosound"},
        {"--play c:\\puzzles\\birds.jwf", false, "-jar WordSearch.jar \"c:\\puzzles\\birds.jwf\""},
        {"--play \"C:\\My Puzzles\\Cats.jgf\"", false, "-jar Crossword.jar \"C:\\My Puzzles\\Cats.jgf\""},
        {"x --play C:\\a.JWF --play b.JGF", false, "-jar WordSearch.jar \"C:\\a.JWF\""},
        {"--play", false, "-jar  \"\""},
    };
    ProgramFolder program({"Crossword.jar", "WordSearch.jar"});
    for (const auto& c : cases) {
        TempFolder temp;
        StubLog log(temp);
        StoreMachineSettings(StubsFolder(), c.noSound);
        auto run = RunProgram(program.Exe(), c.arguments);
        ASSERT_TRUE(run.finished) << c.arguments;
        EXPECT_EQ(run.exitCode, 0u) << c.arguments;
        auto records = log.WaitFor(1);
        ASSERT_EQ(records.size(), 1u) << c.arguments;
        EXPECT_EQ(records[0].program, "javaw.exe");
        EXPECT_EQ(records[0].parameters, c.parameters) << c.arguments;
        EXPECT_EQ(records[0].folder + "\\", program.Path());
    }
}

TEST_F(PlayTest, AJavawBesideThePuzzleOrOnARelativeSearchEntryNeverRuns)
{
    ProgramFolder program({"Crossword.jar", "WordSearch.jar"});
    // Downloads, as Explorer makes it the current folder when the user opens a puzzle there.
    TempFolder downloads;
    for (const char* planted : {"javaw.exe", "rel\\javaw.exe", "bin\\javaw.exe"}) {
        win::ForceDirectories(text::ExtractFilePath(downloads / planted));
        ASSERT_TRUE(CopyFileTo(StubsFolder() + "javaw.exe", downloads / planted));
    }
    WriteFileText(downloads / "Puzzle.JGF", "puzzle");
    StoreMachineSettings("", false);
    ScopedCurrentFolder here(downloads.Path());
    ScopedVariable javaHome("JAVA_HOME", ".");
    for (const char* path : {"C:\\windows\\system32", "rel;.\\rel;.;C:\\windows\\system32"}) {
        TempFolder temp;
        StubLog log(temp);
        ScopedVariable searchPath("PATH", path);
        HANDLE process = StartProgram(program.Exe(), "--play Puzzle.JGF");
        ASSERT_NE(process, nullptr);
        WindowCatcher catcher("OK", ::GetProcessId(process));
        const CapturedWindow notice = catcher.Result();
        EXPECT_EQ(::WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
        ::CloseHandle(process);
        EXPECT_TRUE(notice.found) << path;
        EXPECT_EQ(notice.texts, std::vector<std::string>(std::begin(kNoticeTexts), std::end(kNoticeTexts)));
        EXPECT_TRUE(log.Records().empty()) << path;
    }
    // An absolute entry still serves, and the puzzle's relative path reaches the game whole.
    TempFolder temp;
    StubLog log(temp);
    ScopedVariable searchPath("PATH", "rel;" + StubsFolder() + ";C:\\windows\\system32");
    ASSERT_TRUE(RunProgram(program.Exe(), "--play Puzzle.JGF").finished);
    const auto records = log.WaitFor(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].parameters, "-jar Crossword.jar \"" + downloads / "Puzzle.JGF" + "\"");
}

TEST_F(PlayTest, AMissingGameProgramIsNamedInAMessageBoxAndNothingStarts)
{
    ProgramFolder program({"Crossword.jar"});
    TempFolder temp;
    StubLog log(temp);
    StoreMachineSettings(StubsFolder(), false);
    HANDLE process = StartProgram(program.Exe(), "--play C:\\Puzzles\\Birds.JWF");
    ASSERT_NE(process, nullptr);
    WindowCatcher catcher("OK", ::GetProcessId(process));
    CapturedWindow box = catcher.Result();
    EXPECT_EQ(::WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    ::GetExitCodeProcess(process, &exitCode);
    ::CloseHandle(process);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, program.Exe());
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0],
              "Could not locate the file, \"WordSearch.jar\".\r\n"
              "Please make sure that this file is in the program folder and try again.");
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(log.Records().empty());
}

TEST_F(PlayTest, AMissingJavaRuntimeShowsTheNotice)
{
    ProgramFolder program({"Crossword.jar", "WordSearch.jar"});
    TempFolder noJava;
    for (const std::string& javaPath : {std::string("   "), noJava.Path()}) {
        StoreMachineSettings(javaPath, false);
        HANDLE process = StartProgram(program.Exe(), "--play C:\\Puzzles\\Cats.JGF");
        ASSERT_NE(process, nullptr);
        WindowCatcher catcher("OK", ::GetProcessId(process));
        CapturedWindow notice = catcher.Result();
        EXPECT_EQ(::WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
        ::CloseHandle(process);
        ASSERT_TRUE(notice.found) << '"' << javaPath << '"';
        EXPECT_EQ(notice.caption, "Gridlark");
        EXPECT_EQ(notice.texts, std::vector<std::string>(std::begin(kNoticeTexts), std::end(kNoticeTexts)));
    }
}

TEST_F(PlayTest, AnUnknownSpellingOfPlayTakesTheWindowRoad)
{
    ProgramFolder program({"Crossword.jar", "WordSearch.jar"});
    TempFolder temp;
    StubLog log(temp);
    StoreMachineSettings(StubsFolder(), false);
    for (const char* arguments : {"--PLAY C:\\P\\Cats.JGF", "-play C:\\P\\Cats.JGF"}) {
        HANDLE process = StartProgram(program.Exe(), arguments);
        ASSERT_NE(process, nullptr);
        DWORD pid = ::GetProcessId(process);
        HWND mainWindow = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                mainWindow = ::FindWindowA("TMainWin", "Gridlark");
                DWORD owner = 0;
                ::GetWindowThreadProcessId(mainWindow, &owner);
                return mainWindow != nullptr && owner == pid && ::IsWindowVisible(mainWindow);
            },
            std::chrono::seconds(20)))
            << arguments;
        ::PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        EXPECT_EQ(::WaitForSingleObject(process, 15000), WAIT_OBJECT_0);
        DWORD exitCode = 99;
        ::GetExitCodeProcess(process, &exitCode);
        ::CloseHandle(process);
        EXPECT_EQ(exitCode, 0u);
    }
    EXPECT_TRUE(log.Records().empty());
}

TEST_F(PlayTest, InProcessTheMissingGameBoxIsUnownedWithTheErrorIcon)
{
    // The test program's folder holds no game programs.
    Settings config;
    WindowCatcher catcher("OK");
    PlayPuzzle(config, "C:\\Puzzles\\Cats.JGF", nullptr);
    CapturedWindow box = catcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, win::ProgramFileName());
    EXPECT_EQ(box.iconName, "IDI_HAND");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_NE(box.texts.at(0).find("\"Crossword.jar\"."), std::string::npos);
}

TEST(JavaRuntimeNotice, ShowsItsLabelsIconAndDefaultButton)
{
    JavaNotice notice("Gridlark");
    HWND hwnd = notice.CreateModeless(nullptr);
    ASSERT_NE(hwnd, nullptr);
    CapturedWindow shown = Capture(hwnd);
    EXPECT_EQ(shown.caption, "Gridlark");
    EXPECT_EQ(shown.texts, std::vector<std::string>(std::begin(kNoticeTexts), std::end(kNoticeTexts)));
    EXPECT_EQ(shown.iconName, "IDI_HAND");
    EXPECT_EQ(shown.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(LOWORD(::SendMessageA(hwnd, DM_GETDEFID, 0, 0)), IDOK);
}

TEST(JavaRuntimeNotice, LinkTurnsRedWhilePressedAndOpensThePageWithoutSuffix)
{
    TempFolder temp;
    StubLog log(temp);
    JavaNotice notice("Gridlark");
    HWND hwnd = notice.CreateModeless(nullptr);
    HWND link = ::GetDlgItem(hwnd, IDC_NOTICE_LINK);
    HDC dc = ::CreateCompatibleDC(nullptr);
    auto colour = [&] {
        ::SendMessageA(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
        return ::GetTextColor(dc);
    };
    EXPECT_EQ(colour(), RGB(0, 0, 255));
    ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(colour(), RGB(255, 0, 0));
    ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(colour(), RGB(0, 0, 255));
    ::DeleteDC(dc);

    auto records = log.WaitFor(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].program, "stubbrowser.exe");
    EXPECT_EQ(records[0].parameters, "http://puzzles.orvanel.example/gridlark/jre.htm");
}
