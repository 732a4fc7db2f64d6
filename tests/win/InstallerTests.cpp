// The installer under Wine: a silent install, a puzzle file opened through its file type, and a
// silent uninstall that leaves the user's puzzles and settings alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <algorithm>

#include "core/Text.h"
#include "settings/Settings.h"
#include "info/WebLinks.h"
#include "tests/win/TestSupport.h"
#include "win/LazyApi.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

std::string ClassesValue(const std::string& key)
{
    win::RegistryAccessor classes(HKEY_CLASSES_ROOT);
    return classes.OpenKeyReadOnly(key) ? classes.ReadString("").value_or("") : "<no key>";
}

std::string CommonPrograms()
{
    char path[MAX_PATH] = {};
    win::ShellFolderPath(CSIDL_COMMON_PROGRAMS, path);
    return text::IncludeTrailingBackslash(path);
}

// The installed program's folder.
std::string InstalledFolder()
{
    return text::IncludeTrailingBackslash(win::EnvironmentVariable("ProgramFiles")) + "Orvanel\\Gridlark\\";
}

// A distribution folder: the installer under a tagged name, with the game programs beside it or not.
std::string Distribution(const TempFolder& temp, bool withGames)
{
    const std::string setup = temp / "setup-T3ST.exe";
    EXPECT_TRUE(CopyFileTo(DistFolder() + "..\\gridlark-setup.exe", setup));
    if (withGames)
        for (const char* game : {"Crossword.jar", "WordSearch.jar"})
            WriteFileText(temp / game, std::string("game ") + game);
    return setup;
}

// The settings an installed Gridlark starts with: no Java notice, the given repository.
void StoreSettings(const std::string& repository)
{
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    machine.OpenKey(ProductKeyPath, true);
    machine.WriteString("Java Path", StubsFolder());
    machine.WriteString("Repository", repository);
    machine.WriteString("InstallPath", InstalledFolder());
    machine.WriteString("Version", "1.0.2.1");
}

// Runs the uninstaller silently and waits for the copy of itself it runs on to finish.
void Uninstall()
{
    ASSERT_EQ(RunProgram(InstalledFolder() + "Uninstall.exe", "/S", 120s).exitCode, 0u);
    // Removing its own Add/Remove entry is the uninstaller's last step.
    EXPECT_TRUE(WaitUntil(
        [] {
            return !win::RegistryAccessor(HKEY_LOCAL_MACHINE)
                        .KeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gridlark");
        },
        60s));
}

}  // namespace

TEST(Installer, InstallsRegistersPlaysAndUninstallsLeavingThePuzzles)
{
    ClearProductKeys();
    TempFolder temp;
    const std::string setup = Distribution(temp, true);
    ASSERT_EQ(RunProgram(setup, "/S", 120s).exitCode, 0u);

    const std::string folder = InstalledFolder();
    for (const char* file : {"gridlark.exe", "gridlark.chm", "gridlark.sym", "Uninstall.exe"})
        EXPECT_TRUE(win::FileExists(folder + file)) << file;
    for (const char* game : {"Crossword.jar", "WordSearch.jar"})
        EXPECT_EQ(ReadFileText(folder + game), std::string("game ") + game);
    EXPECT_TRUE(win::FileExists(CommonPrograms() + "Gridlark.lnk"));
    EXPECT_EQ(ReadInstallFile(), setup);
    EXPECT_EQ(LinkReferralSuffix(), "?ID=T3ST");
    const std::string exe = "\"" + folder + "gridlark.exe\"";
    struct Type {
        const char* extension;
        const char* type;
        const char* description;
        std::string command;
    };
    const Type types[] = {
        {".JGF", "Gridlark.Crossword", "Gridlark Crossword", exe + " --play \"%1\""},
        {".JWF", "Gridlark.WordSearch", "Gridlark Word Search", exe + " --play \"%1\""},
        {".cw3", "Gridlark.CrosswordCollection", "Gridlark Crossword Collection", exe + " --import \"%1\""},
        {".ws3", "Gridlark.WordSearchCollection", "Gridlark Word Search Collection", exe + " --import \"%1\""},
    };
    for (const auto& t : types) {
        EXPECT_EQ(ClassesValue(t.extension), t.type);
        EXPECT_EQ(ClassesValue(t.type), t.description);
        EXPECT_EQ(ClassesValue(std::string(t.type) + "\\shell\\open\\command"), t.command);
        EXPECT_EQ(ClassesValue(std::string(t.type) + "\\DefaultIcon"), folder + "gridlark.exe,0");
    }

    // Opening a puzzle file plays it with the game the installer put beside the program.
    const std::string repository = temp / "puzzles\\";
    win::ForceDirectories(repository);
    WriteFileText(repository + "Owls.JGF", "puzzle");
    StoreSettings(repository);
    {
        StubLog log(temp);
        win::OpenWithShell(nullptr, "open", (repository + "Owls.JGF").c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        auto records = log.WaitFor(1, 30s);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].program, "javaw.exe");
        EXPECT_EQ(records[0].parameters, "-jar Crossword.jar \"" + repository + "Owls.JGF\"");
    }

    // A type another program has taken since stays that program's.
    {
        win::RegistryAccessor classes(HKEY_CLASSES_ROOT);
        classes.OpenKey(".ws3", true);
        classes.WriteString("", "Other.WordSearch");
    }
    Uninstall();
    EXPECT_FALSE(win::DirectoryExists(folder));
    EXPECT_FALSE(win::FileExists(CommonPrograms() + "Gridlark.lnk"));
    for (const char* gone : {".JGF", ".cw3", "Gridlark.WordSearch", "Gridlark.WordSearchCollection"})
        EXPECT_EQ(ClassesValue(gone), "<no key>") << gone;
    EXPECT_EQ(ClassesValue(".ws3"), "Other.WordSearch");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, ".ws3");
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKeyReadOnly(ProductKeyPath));
    for (const char* name : {"Install File", "InstallPath", "Version"})
        EXPECT_FALSE(machine.ValueExists(name)) << name;
    EXPECT_EQ(machine.ReadString("Repository").value_or(""), repository);
    EXPECT_EQ(ReadFileText(repository + "Owls.JGF"), "puzzle");
    ClearProductKeys();
}

TEST(Installer, ASilentUpgradeWhileGridlarkRunsReplacesEveryFileOrChangesNothing)
{
    ClearProductKeys();
    TempFolder temp;
    const std::string setup = Distribution(temp, false);
    ASSERT_EQ(RunProgram(setup, "/S", 120s).exitCode, 0u);
    const std::string folder = InstalledFolder();
    const std::string repository = temp / "puzzles\\";
    win::ForceDirectories(repository);
    StoreSettings(repository);
    const auto markOld = [&] {
        for (const char* file : {"gridlark.chm", "gridlark.sym"})
            WriteFileText(folder + file, "old");
    };
    const auto isOld = [&](const char* file) { return ReadFileText(folder + file) == "old"; };

    // A Gridlark that does not close: the upgrade changes nothing and says so by its exit code.
    markOld();
    {
        win::UniqueHandle stuck(::CreateMutexA(nullptr, TRUE, "Local\\Orvanel.Gridlark"));
        const ProcessResult refused = RunProgram(setup, "/S", 120s);
        EXPECT_TRUE(refused.finished);
        EXPECT_EQ(refused.exitCode, 2u);
        EXPECT_TRUE(isOld("gridlark.chm"));
        EXPECT_TRUE(isOld("gridlark.sym"));
    }

    // A Gridlark that closes when asked: every file is replaced.
    win::UniqueHandle running(StartProgram(folder + "gridlark.exe", ""));
    ASSERT_TRUE(running);
    ASSERT_TRUE(WaitUntil([] { return ::FindWindowA("TMainWin", "Gridlark") != nullptr; }, 30s));
    const ProcessResult upgraded = RunProgram(setup, "/S", 120s);
    EXPECT_EQ(upgraded.exitCode, 0u);
    EXPECT_EQ(::WaitForSingleObject(running.get(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(isOld("gridlark.chm"));
    EXPECT_FALSE(isOld("gridlark.sym"));
    EXPECT_EQ(ReadFileText(folder + "gridlark.sym"), ReadFileText(DistFolder() + "gridlark.sym"));
    Uninstall();
    ClearProductKeys();
}

namespace {

BOOL CALLBACK AddText(HWND child, LPARAM texts)
{
    char text[1024] = {};
    ::GetWindowTextA(child, text, sizeof(text));
    if (text[0] != '\0')
        reinterpret_cast<std::string*>(texts)->append(text).append("\n");
    return TRUE;
}

// Every text of the window's controls and of the page inside it, one to a line.
std::string AllTexts(HWND window)
{
    std::string texts;
    ::EnumChildWindows(window, &AddText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// Waits until the wizard's forward button reads the caption and can be pressed, then presses it.
bool PressForward(HWND wizard, const std::string& caption)
{
    HWND button = ::GetDlgItem(wizard, IDOK);
    const bool ready = WaitUntil(
        [&] {
            char text[64] = {};
            ::GetWindowTextA(button, text, sizeof(text));
            std::string shown(text);
            shown.erase(std::remove(shown.begin(), shown.end(), '&'), shown.end());
            return shown == caption && ::IsWindowEnabled(button);
        },
        60s);
    if (ready)
        ::PostMessageA(wizard, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return ready;
}

}  // namespace

TEST(Installer, WithItsPagesItShowsGridlarksBrandingSaysWhereTheGamesBelongAndRunsGridlark)
{
    ClearProductKeys();
    TempFolder temp;
    const std::string setup = Distribution(temp, false);
    win::UniqueHandle installer(StartProgram(setup, ""));
    ASSERT_TRUE(installer);
    HWND wizard = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (wizard = ::FindWindowA("#32770", "Gridlark Setup")) != nullptr; }, 60s));
    EXPECT_EQ(AllTexts(wizard).find("Nullsoft"), std::string::npos);
    EXPECT_NE(AllTexts(wizard).find("Gridlark 1.0.2.1"), std::string::npos);
    ASSERT_TRUE(PressForward(wizard, "Next >"));
    ASSERT_TRUE(PressForward(wizard, "Install"));
    // The finish page follows the installation by itself; its title shows before its texts.
    const std::string folder = InstalledFolder();
    const std::string texts[] = {
        "Completing Gridlark Setup",
        "Crossword.jar and WordSearch.jar are copied into this folder:\r\n\r\n" + folder.substr(0, folder.size() - 1),
        "Run Gridlark"};
    std::string finish;
    const auto finishShown = [&] {
        finish = AllTexts(wizard);
        return std::all_of(std::begin(texts), std::end(texts),
                           [&](const std::string& text) { return finish.find(text) != std::string::npos; });
    };
    ASSERT_TRUE(WaitUntil(finishShown, 60s)) << finish;
    EXPECT_EQ(finish.find("Nullsoft"), std::string::npos) << finish;

    // Finish with "Run Gridlark" ticked starts the program.
    StoreSettings(temp / "puzzles\\");
    ASSERT_TRUE(PressForward(wizard, "Finish"));
    HWND gridlark = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (gridlark = ::FindWindowA("TMainWin", "Gridlark")) != nullptr; }, 30s));
    if (gridlark != nullptr) {
        ::PostMessageA(gridlark, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([] { return ::FindWindowA("TMainWin", "Gridlark") == nullptr; }, 30s));
    }
    EXPECT_EQ(::WaitForSingleObject(installer.get(), 30000), WAIT_OBJECT_0);
    Uninstall();
    ClearProductKeys();
}
