// The settings object against the (Wine) registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "core/ConfigRules.h"
#include "settings/Settings.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;

namespace {

void PutRaw(HKEY root, const char* name, DWORD type, const void* data, DWORD size)
{
    win::UniqueHKey key;
    ASSERT_EQ(::RegCreateKeyExA(root, ProductKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

void PutText(HKEY root, const char* name, const std::string& value)
{
    PutRaw(root, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void PutNumber(HKEY root, const char* name, DWORD value) { PutRaw(root, name, REG_DWORD, &value, sizeof(value)); }

bool KeyExists(HKEY root) { return win::RegistryAccessor(root).KeyExists(ProductKeyPath); }

bool ValueExists(HKEY root, const char* name)
{
    win::RegistryAccessor reader(root);
    return reader.OpenKeyReadOnly(ProductKeyPath) && reader.ValueExists(name);
}

std::optional<std::uint32_t> Number(HKEY root, const char* name)
{
    win::RegistryAccessor reader(root);
    if (!reader.OpenKeyReadOnly(ProductKeyPath))
        return std::nullopt;
    return reader.ReadInteger(name);
}

settings::Bounds WorkArea()
{
    RECT r{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { ClearProductKeys(); }
    void TearDown() override { ClearProductKeys(); }
    std::string DefaultRepository() const { return Settings::CommonAppDataFolder() + "Orvanel\\Gridlark"; }
};

}  // namespace

TEST_F(ConfigTest, FirstRunAsAdministratorCreatesBothKeysAndTheRepository)
{
    RemoveTree(DefaultRepository());
    Settings config;
    config.Load();
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER));
    EXPECT_TRUE(config.AllUsersSame);
    EXPECT_FALSE(config.NoSound);
    EXPECT_EQ(config.GetRepository(), DefaultRepository());
    EXPECT_TRUE(win::DirectoryExists(DefaultRepository()));
    auto bounds = settings::DefaultMainWindowBounds(WorkArea());
    EXPECT_EQ(config.MainWindowLeft, bounds.left);
    EXPECT_EQ(config.MainWindowTop, bounds.top);
    EXPECT_EQ(config.MainWindowWidth, 543);
    EXPECT_EQ(config.MainWindowHeight, 395);
    EXPECT_FALSE(config.MainWindowMaximized);
    EXPECT_EQ(config.Column1Width, 250);
    EXPECT_EQ(config.Column2Width, 150);
    EXPECT_EQ(config.Column3Width, 130);
    EXPECT_EQ(config.ListSort, 0u);
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, "amdk328wlskdjf"));
}

TEST_F(ConfigTest, LimitedUserReadsNoMachinePathsAndSavesOnlyUserValues)
{
    PutText(HKEY_LOCAL_MACHINE, "Repository", "C:\\Elsewhere");
    PutText(HKEY_LOCAL_MACHINE, "Java Path", "C:\\Java\\");
    PutNumber(HKEY_LOCAL_MACHINE, "All Users Same", 1);
    PutNumber(HKEY_LOCAL_MACHINE, "No Sound", 1);
    MachineKeyDenied denied;
    Settings config;
    config.Load();
    EXPECT_FALSE(config.AllUsersSame);
    EXPECT_EQ(config.GetRepository(), DefaultRepository());
    EXPECT_EQ(config.JavaPath, "");
    EXPECT_FALSE(config.NoSound);  // read from the user key, where it is absent

    config.NoSound = true;
    config.JavaPath = "C:\\Other\\";
    config.SetRepository("C:\\Mine");
    config.Save();
    EXPECT_EQ(Number(HKEY_CURRENT_USER, "No Sound"), 1u);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Main Window"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Repository"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "Java Path"));
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKeyReadOnly(ProductKeyPath));
    EXPECT_EQ(machine.ReadString("Repository"), "C:\\Elsewhere");
    EXPECT_EQ(machine.ReadString("Java Path"), "C:\\Java\\");
    EXPECT_EQ(machine.ReadInteger("No Sound"), 1u);
}

TEST_F(ConfigTest, SaveAndLoadRoundTripEveryValue)
{
    TempFolder repository;
    Settings saved;
    saved.Load();
    saved.SetRepository(repository.Path());
    saved.JavaPath = "C:\\Java Runtime\\bin\\";
    saved.NoSound = true;
    saved.MainWindowLeft = -8;
    saved.MainWindowTop = 12;
    saved.MainWindowWidth = 800;
    saved.MainWindowHeight = 600;
    saved.MainWindowMaximized = true;
    saved.Column1Width = 321;
    saved.Column2Width = 77;
    saved.Column3Width = 99;
    saved.ListSort = 7;
    saved.Save();

    // The stored layout: the window block is 16 little-endian bytes, Booleans are 0 or 1.
    win::RegistryAccessor user(HKEY_CURRENT_USER);
    ASSERT_TRUE(user.OpenKeyReadOnly(ProductKeyPath));
    auto block = user.ReadBinary("Main Window", 16);
    ASSERT_TRUE(block.has_value());
    const BYTE expected[16] = {0xF8, 0xFF, 0xFF, 0xFF, 12, 0, 0, 0, 0x20, 3, 0, 0, 0x58, 2, 0, 0};
    EXPECT_EQ(std::memcmp(block->data(), expected, 16), 0);
    EXPECT_EQ(user.ReadInteger("Main Window Maximized"), 1u);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, "No Sound"), 1u);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, "All Users Same"), 1u);

    Settings loaded;
    loaded.Load();
    EXPECT_EQ(loaded.GetRepository(), repository.Path());
    EXPECT_EQ(loaded.JavaPath, "C:\\Java Runtime\\bin\\");
    EXPECT_TRUE(loaded.NoSound);
    EXPECT_TRUE(loaded.AllUsersSame);
    EXPECT_EQ(loaded.MainWindowLeft, -8);
    EXPECT_EQ(loaded.MainWindowTop, 12);
    EXPECT_EQ(loaded.MainWindowWidth, 800);
    EXPECT_EQ(loaded.MainWindowHeight, 600);
    EXPECT_TRUE(loaded.MainWindowMaximized);
    EXPECT_EQ(loaded.Column1Width, 321);
    EXPECT_EQ(loaded.Column2Width, 77);
    EXPECT_EQ(loaded.Column3Width, 99);
    EXPECT_EQ(loaded.ListSort, 7u);
}

TEST_F(ConfigTest, NoSoundFollowsTheAllUsersSwitch)
{
    PutNumber(HKEY_LOCAL_MACHINE, "All Users Same", 0);
    PutNumber(HKEY_LOCAL_MACHINE, "No Sound", 1);
    Settings config;
    config.Load();
    EXPECT_FALSE(config.AllUsersSame);
    EXPECT_FALSE(config.NoSound);
    config.NoSound = true;
    config.Save();
    EXPECT_EQ(Number(HKEY_CURRENT_USER, "No Sound"), 1u);
    EXPECT_EQ(Number(HKEY_LOCAL_MACHINE, "All Users Same"), 0u);
}

TEST_F(ConfigTest, ValuesOfAnotherTypeOrSizeKeepTheirDefaults)
{
    const std::string oversized(win::kMaxRegistryText + 10, 'x');
    const BYTE shortBlock[15] = {1, 2, 3};
    const char unterminated[4] = {'C', ':', '\\', 'U'};
    PutText(HKEY_LOCAL_MACHINE, "No Sound", "1");
    PutRaw(HKEY_LOCAL_MACHINE, "Java Path", REG_SZ, unterminated, sizeof(unterminated));
    PutText(HKEY_LOCAL_MACHINE, "Repository", oversized);
    PutRaw(HKEY_CURRENT_USER, "Main Window", REG_BINARY, shortBlock, sizeof(shortBlock));
    PutText(HKEY_CURRENT_USER, "Main Window Maximized", "1");
    PutRaw(HKEY_CURRENT_USER, "Column 1", REG_BINARY, shortBlock, 4);
    PutText(HKEY_CURRENT_USER, "Column 2", "99");
    Settings config;
    config.Load();
    EXPECT_FALSE(config.NoSound);
    EXPECT_EQ(config.JavaPath, "C:\\U");  // read no further than the stored bytes
    EXPECT_EQ(config.GetRepository(), DefaultRepository());
    EXPECT_EQ(config.MainWindowWidth, 543);
    EXPECT_EQ(config.MainWindowHeight, 395);
    EXPECT_FALSE(config.MainWindowMaximized);
    EXPECT_EQ(config.Column1Width, 250);
    EXPECT_EQ(config.Column2Width, 150);
    EXPECT_EQ(config.Column3Width, 130);
    EXPECT_EQ(config.ListSort, 0u);
}

TEST_F(ConfigTest, AStoredEmptyRepositoryFallsBackToTheDefaultFolder)
{
    for (const char* stored : {"", "   "}) {
        PutText(HKEY_LOCAL_MACHINE, "Repository", stored);
        Settings config;
        config.Load();
        EXPECT_EQ(config.GetRepository(), DefaultRepository()) << '"' << stored << '"';
        EXPECT_TRUE(win::DirectoryExists(DefaultRepository()));
    }
}

TEST_F(ConfigTest, IsRegistryKeyWritable)
{
    const std::string missing = "Software\\Orvanel\\Gridlark\\Probe";
    EXPECT_TRUE(Settings::IsRegistryKeyWritable(HKEY_CURRENT_USER, missing));
    EXPECT_TRUE(win::RegistryAccessor(HKEY_CURRENT_USER).KeyExists(missing));

    PutNumber(HKEY_CURRENT_USER, "amdk328wlskdjf", 7);
    PutNumber(HKEY_CURRENT_USER, "Column 1", 5);
    EXPECT_TRUE(Settings::IsRegistryKeyWritable(HKEY_CURRENT_USER, ProductKeyPath));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "amdk328wlskdjf"));
    EXPECT_EQ(Number(HKEY_CURRENT_USER, "Column 1"), 5u);

    MachineKeyDenied denied;
    EXPECT_FALSE(Settings::IsRegistryKeyWritable(HKEY_LOCAL_MACHINE, missing));
    EXPECT_FALSE(win::RegistryAccessor(HKEY_LOCAL_MACHINE).KeyExists(missing));
    PutNumber(HKEY_LOCAL_MACHINE, "Column 1", 5);
    EXPECT_FALSE(Settings::IsRegistryKeyWritable(HKEY_LOCAL_MACHINE, ProductKeyPath));
}

TEST(CommonAppDataFolder, AddsOneBackslashAndFallsBackWhenMissingOrBlank)
{
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    win::RegistryAccessor shellFolders(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(shellFolders.OpenKey(key, true));
    auto original = shellFolders.ReadString("Common AppData");
    const std::string fallback = "C:\\Documents and Settings\\All Users\\Application Data\\";
    struct Case {
        std::optional<std::string> stored;
        std::string expected;
    };
    const Case cases[] = {{"D:\\Shared", "D:\\Shared\\"},
                          {"D:\\Shared\\", "D:\\Shared\\"},
                          {std::nullopt, fallback},
                          {"", fallback},
                          {"   ", fallback}};
    for (const auto& c : cases) {
        if (c.stored)
            shellFolders.WriteString("Common AppData", *c.stored);
        else
            shellFolders.DeleteValue("Common AppData");
        EXPECT_EQ(Settings::CommonAppDataFolder(), c.expected) << c.stored.value_or("(absent)");
    }
    if (original)
        shellFolders.WriteString("Common AppData", *original);
}

TEST(Repository, AReaderRacingAWriterSeesTheOldOrTheNewTextWhole)
{
    Settings config;
    const std::string a(300, 'a');
    const std::string b(5, 'b');
    config.SetRepository(a);
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!stop) {
            std::string seen = config.GetRepository();
            if (seen != a && seen != b)
                ++torn;
        }
    });
    for (int i = 0; i < 20000; ++i)
        config.SetRepository(i % 2 ? a : b);
    stop = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
}

TEST_F(ConfigTest, ExpandablePathsAreReadExpandedAndKeptThroughASave)
{
    TempFolder root;
    std::string folder = root.Path();
    folder.pop_back();
    ::SetEnvironmentVariableA("GRIDLARK_TEST_ROOT", folder.c_str());
    auto putExpandable = [](const char* name, const std::string& value) {
        PutRaw(HKEY_LOCAL_MACHINE, name, REG_EXPAND_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
    };
    auto stored = [](const char* name) {
        win::RegistryAccessor reader(HKEY_LOCAL_MACHINE);
        reader.OpenKeyReadOnly(ProductKeyPath);
        bool expandable = false;
        auto text = reader.ReadText(name, expandable);
        return std::make_pair(text.value_or("<none>"), expandable);
    };
    putExpandable("Repository", "%GRIDLARK_TEST_ROOT%\\Puzzles");
    putExpandable("Java Path", "%GRIDLARK_TEST_ROOT%\\jre\\bin\\");
    Settings config;
    config.Load();
    EXPECT_EQ(config.GetRepository(), root / "Puzzles");
    EXPECT_EQ(config.JavaPath, root / "jre\\bin\\");
    EXPECT_TRUE(win::DirectoryExists(root / "Puzzles"));

    config.Save();
    EXPECT_EQ(stored("Repository"), std::make_pair(std::string("%GRIDLARK_TEST_ROOT%\\Puzzles"), true));
    EXPECT_EQ(stored("Java Path"), std::make_pair(std::string("%GRIDLARK_TEST_ROOT%\\jre\\bin\\"), true));

    config.SetRepository("C:\\Elsewhere");
    config.Save();
    EXPECT_EQ(stored("Repository"), std::make_pair(std::string("C:\\Elsewhere"), false));
    EXPECT_EQ(stored("Java Path"), std::make_pair(std::string("%GRIDLARK_TEST_ROOT%\\jre\\bin\\"), true));
    ::SetEnvironmentVariableA("GRIDLARK_TEST_ROOT", nullptr);
}
