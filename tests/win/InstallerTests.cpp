// The installer under Wine: a silent install, a puzzle file opened through its file type, and a
// silent uninstall that leaves the user's puzzles and settings alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include "core/Text.h"
#include "settings/Configs.h"
#include "settings/WebLinks.h"
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

}  // namespace

TEST(Installer, InstallsRegistersPlaysAndUninstallsLeavingThePuzzles)
{
    ClearProductKeys();
    TempFolder temp;
    const std::string setup = temp / "setup-T3ST.exe";
    ASSERT_TRUE(CopyFileTo(DistFolder() + "..\\gridlark-setup.exe", setup));
    ASSERT_EQ(RunProgram(setup, "/S", 120s).exitCode, 0u);

    const std::string folder =
        text::IncludeTrailingBackslash(win::EnvironmentVariable("ProgramFiles")) + "Orvanel\\Gridlark\\";
    for (const char* file : {"gridlark.exe", "gridlark.chm", "gridlark.sym", "Uninstall.exe"})
        EXPECT_TRUE(win::FileExists(folder + file)) << file;
    EXPECT_TRUE(win::FileExists(CommonPrograms() + "Gridlark.lnk"));
    EXPECT_EQ(ReadInstallFile(), setup);
    EXPECT_EQ(LinkReferralSuffix(), "?ID=T3ST");
    EXPECT_EQ(ClassesValue(".JGF"), "Gridlark.Crossword");
    EXPECT_EQ(ClassesValue(".JWF"), "Gridlark.WordSearch");
    EXPECT_EQ(ClassesValue("Gridlark.Crossword"), "Gridlark Crossword");
    EXPECT_EQ(ClassesValue("Gridlark.WordSearch\\shell\\open\\command"),
              "\"" + folder + "gridlark.exe\" --play \"%1\"");

    // Opening a puzzle file plays it: the game beside the program, the Java runtime stored.
    const std::string repository = temp / "puzzles\\";
    win::ForceDirectories(repository);
    WriteFileText(repository + "Owls.JGF", "puzzle");
    WriteFileText(folder + "Crossword.jar", "game");
    {
        win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
        machine.OpenKey(ProductKeyPath, true);
        machine.WriteString("Java Path", StubsFolder());
        machine.WriteString("Repository", repository);
        machine.WriteString("InstallPath", folder);
        machine.WriteString("Version", "1.0.2.1");
    }
    {
        StubLog log(temp);
        win::OpenWithShell(nullptr, "open", (repository + "Owls.JGF").c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        auto records = log.WaitFor(1, 30s);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].program, "javaw.exe");
        EXPECT_EQ(records[0].parameters, "-jar Crossword.jar \"" + repository + "Owls.JGF\"");
    }

    ::DeleteFileA((folder + "Crossword.jar").c_str());
    ASSERT_EQ(RunProgram(folder + "Uninstall.exe", "/S", 120s).exitCode, 0u);
    // The uninstaller runs on from a copy of itself; removing its own Add/Remove entry is its last step.
    EXPECT_TRUE(WaitUntil(
        [] {
            return !win::RegistryAccessor(HKEY_LOCAL_MACHINE)
                        .KeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gridlark");
        },
        60s));
    EXPECT_FALSE(win::DirectoryExists(folder));
    EXPECT_FALSE(win::FileExists(CommonPrograms() + "Gridlark.lnk"));
    EXPECT_EQ(ClassesValue(".JGF"), "<no key>");
    EXPECT_EQ(ClassesValue("Gridlark.WordSearch"), "<no key>");
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKeyReadOnly(ProductKeyPath));
    for (const char* name : {"Install File", "InstallPath", "Version"})
        EXPECT_FALSE(machine.ValueExists(name)) << name;
    EXPECT_EQ(machine.ReadString("Repository").value_or(""), repository);
    EXPECT_EQ(ReadFileText(repository + "Owls.JGF"), "puzzle");
    ClearProductKeys();
}
