#include <gtest/gtest.h>

#include "core/VersionRules.h"

TEST(VersionRules, SplitShortVersionAndProgramVersionText)
{
    struct Case {
        const char* fileVersion;
        version::Parts parts;
        const char* shortVersion;
        const char* programVersion;
    };
    const Case cases[] = {
        {"1.0.2.1", {"1", "0", "2", "1"}, " v 1.0b", "01.00.02.01"},
        {"2.3.0.5", {"2", "3", "0", "5"}, " v 2.3", "02.03.00.05"},
        {"1.4.30.2", {"1", "4", "30", "2"}, " v 1.4.30", "01.04.30.02"},
        {"1.0.12.3", {"1", "0", "12", "3"}, " v 1.0m", "01.00.12.03"},
        {"1.0.14.3", {"1", "0", "14", "3"}, " v 1.0p", "01.00.14.03"},
        {"1.0.25.3", {"1", "0", "25", "3"}, " v 1.0.25", "01.00.25.03"},
        {"1.0.24.3", {"1", "0", "24", "3"}, " v 1.0z", "01.00.24.03"},
        {"3.2", {"3", "", "", "2"}, " v 3.", "03.0.0.02"},
        {" 1 . 0 . 1 . 100 ", {"1", "0", "1", "100"}, " v 1.0a", "01.00.01.100"},
        {"", {"", "", "", ""}, "", "0.0.0.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(version::SplitVersion(c.fileVersion), c.parts) << c.fileVersion;
        EXPECT_EQ(version::ShortVersion(c.fileVersion), c.shortVersion) << c.fileVersion;
        EXPECT_EQ(version::ProgramVersionText(c.parts), c.programVersion) << c.fileVersion;
    }
}

TEST(VersionRules, FlagsTextInWords)
{
    EXPECT_EQ(version::FlagsText(0), "");
    EXPECT_EQ(version::FlagsText(2), "Pre-release version");
    EXPECT_EQ(version::FlagsText(1 | 8), "Test, Private version");
    EXPECT_EQ(version::FlagsText(63 | 64), "Test, Pre-release, Patched, Private, InfoInferred, Special version");
}

TEST(VersionRules, RecordedVersionIsReplacedOnlyByAGreaterText)
{
    EXPECT_TRUE(version::IsNewerVersion("01.00.10.00", "01.00.02.01"));
    EXPECT_FALSE(version::IsNewerVersion("01.00.02.01", "01.00.02.01"));
    EXPECT_FALSE(version::IsNewerVersion("01.00.100.00", "01.00.20.00"));
    EXPECT_TRUE(version::IsNewerVersion("01.00.02.01.1", "01.00.02.01"));
}
