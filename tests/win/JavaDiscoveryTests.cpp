// The first run's search for a Java runtime, in-process against the Wine registry and folders of
// the test's own: the search path, JAVA_HOME, the installers' registry keys in both views and
// the Program Files folders, in that order.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "jre/JavaDiscovery.h"
#include "settings/Settings.h"
#include "tests/win/MainWindowFixture.h"
#include "tests/win/TestSupport.h"
#include "win/Handles.h"

using namespace testing_support;

namespace {

void ForgetJavaInstallers()
{
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY software = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) == ERROR_SUCCESS) {
            ::RegDeleteTreeA(software, "JavaSoft");
            ::RegCloseKey(software);
        }
    }
}

// What a Java installer records: the current version under its key, and that version's home.
void RecordInstaller(REGSAM view, const char* key, const std::string& home, DWORD homeType = REG_SZ)
{
    const std::string path = std::string("SOFTWARE\\JavaSoft\\") + key;
    HKEY installer = nullptr, version = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                &installer, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(installer, "CurrentVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>("17"), 3);
    ASSERT_EQ(::RegCreateKeyExA(installer, "17", 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &version, nullptr),
              ERROR_SUCCESS);
    if (homeType == REG_SZ) {
        ::RegSetValueExA(version, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                         static_cast<DWORD>(home.size() + 1));
    } else {
        const DWORD number = 17;
        ::RegSetValueExA(version, "JavaHome", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    }
    ::RegCloseKey(version);
    ::RegCloseKey(installer);
}

// A runtime's home folder with its bin\javaw.exe; answers the bin folder.
std::string InstallRuntime(const std::string& home)
{
    ::CreateDirectoryA(home.c_str(), nullptr);
    ::CreateDirectoryA((home + "\\bin").c_str(), nullptr);
    WriteFileText(home + "\\bin\\javaw.exe", "runtime");
    return home + "\\bin\\";
}

class JavaDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProductKeys();
        ForgetJavaInstallers();
        for (const char* folder : {"pf64", "pf32"})
            ::CreateDirectoryA((places_ / folder).c_str(), nullptr);
    }
    void TearDown() override
    {
        ForgetJavaInstallers();
        ClearProductKeys();
    }
    std::string LoadedJavaPath()
    {
        Settings config;
        config.Load();
        return config.JavaPath;
    }

    TempFolder places_;
    // No javaw.exe on the search path unless a case puts one there; Program Files of the test's own.
    ScopedVariable path_{"PATH", "C:\\windows\\system32;C:\\windows"};
    ScopedVariable javaHome_{"JAVA_HOME", ""};
    ScopedVariable programW6432_{"ProgramW6432", places_ / "pf64"};
    ScopedVariable programFiles_{"ProgramFiles", places_ / "pf64"};
    ScopedVariable programFilesX86_{"ProgramFiles(x86)", places_ / "pf32"};
};

}  // namespace

TEST_F(JavaDiscoveryTest, AFirstRunFindsTheRuntimeInTheFirstPlaceThatHoldsOne)
{
    struct Case {
        const char* what;
        std::function<std::string(const TempFolder&)> arrange;  // answers the folder expected
    };
    const Case cases[] = {
        {"only in the registry's 64-bit view",
         [](const TempFolder& t) {
             RecordInstaller(KEY_WOW64_64KEY, "Java Runtime Environment", t / "jre64");
             return InstallRuntime(t / "jre64");
         }},
        {"only in the registry's 32-bit view, as a JDK",
         [](const TempFolder& t) {
             RecordInstaller(KEY_WOW64_32KEY, "JDK", t / "jdk32");
             return InstallRuntime(t / "jdk32");
         }},
        {"only JAVA_HOME",
         [](const TempFolder& t) {
             ::SetEnvironmentVariableA("JAVA_HOME", (t / "home").c_str());
             return InstallRuntime(t / "home");
         }},
        {"only Program Files, the highest version first",
         [](const TempFolder& t) {
             ::CreateDirectoryA((t / "pf32\\Java").c_str(), nullptr);
             InstallRuntime(t / "pf32\\Java\\jre1.8.0_391");
             return InstallRuntime(t / "pf32\\Java\\jre1.8.0_401");
         }},
        {"nowhere", [](const TempFolder&) { return std::string(); }},
        {"JAVA_HOME before the registry before Program Files",
         [](const TempFolder& t) {
             RecordInstaller(KEY_WOW64_64KEY, "JRE", t / "registered");
             InstallRuntime(t / "registered");
             ::CreateDirectoryA((t / "pf64\\Eclipse Adoptium").c_str(), nullptr);
             InstallRuntime(t / "pf64\\Eclipse Adoptium\\jdk-21");
             ::SetEnvironmentVariableA("JAVA_HOME", (t / "home").c_str());
             return InstallRuntime(t / "home");
         }},
        {"a JAVA_HOME naming a file, a home of the wrong type and a missing one are passed over",
         [](const TempFolder& t) {
             WriteFileText(t / "file", "not a folder");
             ::SetEnvironmentVariableA("JAVA_HOME", (t / "file").c_str());
             RecordInstaller(KEY_WOW64_64KEY, "JRE", "", REG_DWORD);
             RecordInstaller(KEY_WOW64_32KEY, "JRE", t / "gone");
             ::CreateDirectoryA((t / "pf64\\Java").c_str(), nullptr);
             return InstallRuntime(t / "pf64\\Java\\jdk-17");
         }},
        {"the search path wins over every other place",
         [](const TempFolder& t) {
             ::SetEnvironmentVariableA("JAVA_HOME", (t / "home").c_str());
             InstallRuntime(t / "home");
             const std::string onPath = InstallRuntime(t / "onpath");
             ::SetEnvironmentVariableA("PATH", (onPath + ";C:\\windows\\system32").c_str());
             return onPath;
         }},
    };
    for (const auto& c : cases) {
        TempFolder places;
        for (const char* folder : {"pf64", "pf32"})
            ::CreateDirectoryA((places / folder).c_str(), nullptr);
        ScopedVariable path("PATH", "C:\\windows\\system32;C:\\windows");
        ScopedVariable javaHome("JAVA_HOME", "");
        ScopedVariable pf64("ProgramW6432", places / "pf64"), pf("ProgramFiles", places / "pf64");
        ScopedVariable pf32("ProgramFiles(x86)", places / "pf32");
        ForgetJavaInstallers();
        const std::string expected = c.arrange(places);
        EXPECT_EQ(LoadedJavaPath(), expected) << c.what;
    }
    // Nothing was written: the find is for this run until a Save.
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(machine.OpenKeyReadOnly(ProductKeyPath) && machine.ValueExists("Java Path"));
}

TEST_F(JavaDiscoveryTest, AStoredFolderIsKeptAndNoPlaceIsSearched)
{
    ::SetEnvironmentVariableA("JAVA_HOME", (places_ / "home").c_str());
    InstallRuntime(places_ / "home");
    Settings config;
    config.JavaPath = "C:\\Stored Java\\bin\\";
    config.Save();
    EXPECT_EQ(LoadedJavaPath(), "C:\\Stored Java\\bin\\");
}

TEST_F(JavaDiscoveryTest, ARuntimeInTheCurrentFolderOrARelativePlaceIsNeitherTakenNorStored)
{
    for (const char* planted : {"", "rel", "home"})
        InstallRuntime(places_ / planted);
    WriteFileText(places_ / "javaw.exe", "planted");
    ScopedCurrentFolder here(places_.Path());
    ::SetEnvironmentVariableA("PATH", "rel\\bin;.\\rel\\bin;.;bin;C:\\windows\\system32");
    ::SetEnvironmentVariableA("JAVA_HOME", "home");
    {
        win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey(ProductKeyPath, true));
        machine.WriteString("Java Path", "rel\\bin\\");
    }
    Settings config;
    config.Load();
    EXPECT_EQ(config.JavaPath, "");
    // As the main window does at its close: whatever the run found, nothing relative is stored.
    config.JavaPath = "rel\\bin\\";
    config.Save();
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKeyReadOnly(ProductKeyPath));
    EXPECT_EQ(machine.ReadString("Java Path"), "rel\\bin\\");  // untouched, and not taken on load
    // An absolute entry of the search path still serves, and is stored.
    ::SetEnvironmentVariableA("PATH", (".;" + places_ / "home\\bin").c_str());
    Settings found;
    found.Load();
    EXPECT_EQ(found.JavaPath, places_ / "home\\bin\\");
    found.Save();
    EXPECT_EQ(LoadedJavaPath(), places_ / "home\\bin\\");
}

TEST_F(JavaDiscoveryTest, TheFirstRunShowsTheJavaNoticeOnlyWhenNoPlaceHoldsARuntime)
{
    const std::string exe = DistFolder() + "gridlark.exe";
    TempFolder repository;
    for (bool installed : {false, true}) {
        ClearProductKeys();
        if (installed)
            ::SetEnvironmentVariableA("JAVA_HOME", (places_ / "home").c_str());
        InstallRuntime(places_ / "home");
        win::UniqueHandle program(StartProgram(exe, ""));
        ASSERT_TRUE(program);
        const DWORD id = ::GetProcessId(program.get());
        HWND notice = nullptr, main = nullptr;
        ASSERT_TRUE(
            WaitUntil([&] { return (notice = VisibleDialogOf(id)) != nullptr || (main = MainWindowOf(id)) != nullptr; },
                      std::chrono::seconds(30)));
        EXPECT_EQ(notice != nullptr, !installed) << installed;
        if (notice != nullptr) {
            CapturedWindow shown = Capture(notice);
            EXPECT_EQ(shown.texts.at(0), "The Java Runtime Environment (JRE) could not be found.");
            PressButton(notice, "OK");
            ASSERT_TRUE(WaitUntil([&] { return (main = MainWindowOf(id)) != nullptr; }, std::chrono::seconds(30)));
        }
        ::PostMessageA(main, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(program.get(), 30000) != WAIT_OBJECT_0)
            ::TerminateProcess(program.get(), 1);
    }
}
