#include <gtest/gtest.h>

#include "app/LaunchRules.h"
#include "settings/ConfigRules.h"

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
}

TEST(LaunchRules, MissingGameProgramMessage)
{
    EXPECT_EQ(launch::MissingGameProgramMessage("WordSearch.jar"),
              "Could not locate the file, \"WordSearch.jar\".\r\n"
              "Please make sure that this file is in the program folder and try again.");
}

TEST(ConfigRules, DefaultWindowBoundsCentreInTheWorkAreaTruncatingTowardZero)
{
    struct Case {
        settings::Bounds area;
        settings::Bounds expected;
    };
    const Case cases[] = {
        {{0, 0, 1024, 738}, {240, 171, 543, 395}},
        {{0, 0, 500, 300}, {-21, -47, 543, 395}},
        {{100, 30, 1024, 738}, {340, 201, 543, 395}},
    };
    for (const auto& c : cases) {
        auto b = settings::DefaultMainWindowBounds(c.area);
        EXPECT_EQ(b.left, c.expected.left);
        EXPECT_EQ(b.top, c.expected.top);
        EXPECT_EQ(b.width, c.expected.width);
        EXPECT_EQ(b.height, c.expected.height);
    }
}
