#include <gtest/gtest.h>

#include "core/LaunchRules.h"
#include "core/ConfigRules.h"

#include <climits>

TEST(LaunchRules, ParametersByKindQuotingAndSound)
{
    struct Case {
        const char* upperExt;
        const char* file;
        bool noSound;
        const char* parameters;
    };
    const Case cases[] = {
        {".JGF", "C:\\P\\Cats.JGF", false, "-jar Crossword.jar \"C:\\P\\Cats.JGF\""},
        {".JWF", "C:\\P\\a.jwf", true, "-jar WordSearch.jar \"C:\\P\\a.jwf\" --nosound"},
        {".JGF\"", "\"C:\\P Q\\Cats.JGF\"", false, "-jar Crossword.jar \"C:\\P Q\\Cats.JGF\""},
        {"", "", false, "-jar  \"\""},
        {".TXT", "x.txt", false, "-jar  \"x.txt\""},
    };
    for (const auto& c : cases) {
        std::string kind = launch::KindExtension(c.upperExt);
        EXPECT_EQ(launch::LaunchParameters(kind, c.file, c.noSound), c.parameters) << c.file;
    }
}

TEST(LaunchRules, PresenceTestNamesTheWordSearchGameForAnythingButCrosswords)
{
    EXPECT_EQ(launch::PresenceGameProgram(".JGF"), "Crossword.jar");
    for (const char* kind : {".JWF", "", ".TXT"})
        EXPECT_EQ(launch::PresenceGameProgram(kind), "WordSearch.jar") << kind;
}

TEST(LaunchRules, JavaProgramFromSetting)
{
    EXPECT_EQ(launch::JavaProgramFromSetting("C:\\Java\\bin"), "C:\\Java\\bin\\javaw.exe");
    EXPECT_EQ(launch::JavaProgramFromSetting("C:\\Java\\bin\\"), "C:\\Java\\bin\\javaw.exe");
    EXPECT_EQ(launch::JavaProgramFromSetting(" C:\\J "), " C:\\J \\javaw.exe");
    EXPECT_FALSE(launch::JavaProgramFromSetting("   ").has_value());
    EXPECT_FALSE(launch::JavaProgramFromSetting("").has_value());
    // A relative folder would name a program in whatever the current folder is.
    for (const char* relative : {".", "rel", ".\\rel", "C:bin", "\\Java\\bin"})
        EXPECT_FALSE(launch::JavaProgramFromSetting(relative).has_value()) << relative;
}

TEST(LaunchRules, MissingGameProgramMessage)
{
    EXPECT_EQ(launch::MissingGameProgramMessage("WordSearch.jar"),
              "Could not locate the file, \"WordSearch.jar\".\r\n"
              "Please make sure that this file is in the program folder and try again.");
}

TEST(ConfigRules, LengthsStoredAtOneDpiKeepTheirPointsAtAnother)
{
    struct Case {
        std::int32_t length;
        std::uint32_t from, to;
        std::int32_t expected;
    };
    const Case cases[] = {
        {600, 96, 144, 900},
        {900, 144, 96, 600},
        {75, 96, 120, 94},  // 93.75
        {-3, 96, 144, -5},  // -4.5, away from zero
        {250, 96, 96, 250},
        {250, 0, 144, 250},                // no stored DPI: unchanged
        {2000000000, 96, 192, INT32_MAX},  // no overflow
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings::ScaledToDpi(c.length, c.from, c.to), c.expected)
            << c.length << " " << c.from << " " << c.to;
    // Settings from before the DPI was stored, and values no screen has, count as 96.
    for (std::uint32_t stored : {0u, 1u, 47u, 961u, 0xFFFFFFFFu})
        EXPECT_EQ(settings::StoredDpi(stored), 96u) << stored;
    for (std::uint32_t stored : {48u, 96u, 144u, 960u})
        EXPECT_EQ(settings::StoredDpi(stored), stored);
}

TEST(ConfigRules, DefaultWindowBoundsCentreInTheWorkAreaTruncatingTowardZero)
{
    struct Case {
        settings::Bounds area;
        std::uint32_t dpi;
        settings::Bounds expected;
    };
    const Case cases[] = {
        {{0, 0, 1024, 738}, 96, {240, 171, 543, 395}},
        {{0, 0, 500, 300}, 96, {-21, -47, 543, 395}},
        {{100, 30, 1024, 738}, 96, {340, 201, 543, 395}},
        {{0, 0, 1920, 1040}, 144, {552, 223, 815, 593}},  // 814.5 and 592.5 rounded
        {{0, 0, 2560, 1400}, 192, {737, 305, 1086, 790}},
    };
    for (const auto& c : cases) {
        auto b = settings::DefaultMainWindowBounds(c.area, c.dpi);
        EXPECT_EQ(b.left, c.expected.left);
        EXPECT_EQ(b.top, c.expected.top);
        EXPECT_EQ(b.width, c.expected.width);
        EXPECT_EQ(b.height, c.expected.height);
    }
}
