// Version information of a program file and the installation record.
#include <gtest/gtest.h>
#include <windows.h>

#include "win/VersionResource.h"
#include "core/Text.h"
#include "settings/Settings.h"
#include "settings/Installation.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;

TEST(VersionInfo, ReadsTheProgramsStringsAndShortVersion)
{
    VersionResource info(DistFolder() + "gridlark.exe");
    EXPECT_EQ(info.CompanyName, "Orvanel");
    EXPECT_EQ(info.ProductName, "Gridlark");
    EXPECT_EQ(info.OriginalFilename, "gridlark.exe");
    EXPECT_EQ(info.FileVersion, "1.0.2.1");
    EXPECT_FALSE(info.LegalTradeMarks.empty());
    EXPECT_EQ(info.FlagsText, "");
    EXPECT_EQ(info.Major + info.Minor + info.Release + info.Build, "1021");
    EXPECT_EQ(info.ShortVersion(), " v 1.0b");
}

TEST(VersionInfo, AFileWithoutAResourceGivesEmptyTexts)
{
    TempFolder temp;
    WriteFileText(temp / "plain.txt", "no resource here");
    VersionResource info(temp / "plain.txt");
    EXPECT_EQ(info.CompanyName, "");
    EXPECT_EQ(info.FileVersion, "");
    EXPECT_EQ(info.FlagsText, "");
    EXPECT_EQ(info.ShortVersion(), "");
}

namespace {

std::optional<std::string> Recorded(const char* name)
{
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    if (!machine.OpenKeyReadOnly(ProductKeyPath))
        return std::nullopt;
    return machine.ReadString(name);
}

void Store(const char* name, const std::string& value)
{
    win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKey(ProductKeyPath, true));
    machine.WriteString(name, value);
}

}  // namespace

TEST(RecordInstallation, WritesFolderAndVersionWhenMissingOrOlder)
{
    // The test program carries the same version resource as gridlark.exe: 01.00.02.01.
    ASSERT_EQ(ProgramVersionText(VersionResource()), "01.00.02.01");
    const std::string folder = LongPathName(win::ProgramFolder());
    struct Case {
        std::optional<std::string> installPath;
        std::optional<std::string> version;
        bool written;
    };
    const Case cases[] = {{std::nullopt, std::nullopt, true},   {"C:\\Old\\", std::nullopt, true},
                          {"C:\\Old\\", "01.00.01.09", true},   {"C:\\Old\\", "01.00.02.01", false},
                          {"C:\\Old\\", "01.00.100.00", false}, {"C:\\Old\\", "02.00.00.00", false}};
    for (const auto& c : cases) {
        ClearProductKeys();
        if (c.installPath)
            Store("InstallPath", *c.installPath);
        if (c.version)
            Store("Version", *c.version);
        Settings().RecordInstallation(ProgramVersionText(VersionResource()));
        EXPECT_EQ(Recorded("InstallPath"), c.written ? folder : *c.installPath) << c.version.value_or("(none)");
        EXPECT_EQ(Recorded("Version"), c.written ? "01.00.02.01" : *c.version);
    }
    EXPECT_EQ(folder.back(), '\\');
    ClearProductKeys();
}

TEST(RecordInstallation, WritesNothingForALimitedUser)
{
    ClearProductKeys();
    MachineKeyDenied denied;
    Settings().RecordInstallation(ProgramVersionText(VersionResource()));
    EXPECT_FALSE(Recorded("Version").has_value());
    EXPECT_FALSE(Recorded("InstallPath").has_value());
}
