#include <gtest/gtest.h>

#include "core/Text.h"

TEST(Text, OnlyPathsFromADrivesRootOrAShareAreAbsolute)
{
    struct Case {
        const char* path;
        bool absolute;
    };
    const Case cases[] = {
        {"C:\\Java\\bin", true}, {"d:/tools", true}, {"\\\\server\\share", true},
        {"C:\\", true},          {"C:", false},      {"C:bin", false},
        {"\\tools", false},      {"bin", false},     {".", false},
        {".\\rel", false},       {"..\\lib", false}, {"", false},
        {"\\\\\\x", false},      {"1:\\x", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::IsAbsolutePath(c.path), c.absolute) << c.path;
}

TEST(Text, ASearchPathYieldsItsAbsoluteFoldersInOrder)
{
    // Relative entries, a drive without its root and the current folder would let a program
    // planted beside an opened file run.
    EXPECT_EQ(text::AbsoluteSearchFolders(
                  "C:;;D:\\Windows\\;rel;E:\\Tools;.;bin;..\\lib;\\tools;\"F:\\Program Files\\Java\"; G:\\x ;"
                  "\\\\server\\share;\"\""),
              (std::vector<std::string>{"D:\\Windows\\", "E:\\Tools\\", "F:\\Program Files\\Java\\", "G:\\x\\",
                                        "\\\\server\\share\\"}));
    EXPECT_TRUE(text::AbsoluteSearchFolders("").empty());
}

TEST(Text, LongRunsWrapAfterABackslashAndShortTextStays)
{
    EXPECT_EQ(text::WrapLongRuns("File not found: C:\\a.cw3", 20), "File not found: C:\\a.cw3");
    EXPECT_EQ(text::WrapLongRuns("C:\\aaaa\\bbbb\\cccc\\dddd", 10), "C:\\aaaa\\\r\nbbbb\\cccc\\\r\ndddd");
    // A run with no backslash in its last half is cut at the width.
    EXPECT_EQ(text::WrapLongRuns("xxxxxxxxxxxx", 5), "xxxxx\r\nxxxxx\r\nxx");
    const std::string wrapped = text::WrapLongRuns("Path:\r\n" + std::string(5000, 'x') + "\r\nend", 80);
    std::size_t longest = 0, run = 0;
    for (char c : wrapped) {
        run = c == '\r' || c == '\n' ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    EXPECT_EQ(longest, 80u);
}

TEST(Text, ALineLongerThanTheLongestKeepsItsStartAndEnd)
{
    EXPECT_EQ(text::ShortenLongLines("short C:\\a.cw3\r\n", 20), "short C:\\a.cw3\r\n");
    std::string path = "C:\\";
    while (path.size() < 3000)
        path += "a folder\\";
    path += "deep.cw3";
    const std::string shortened = text::ShortenLongLines("These files:\r\n\r\n" + path + "\r\n    It is gone.", 240);
    EXPECT_EQ(shortened.size(), 14u + 2 + 240 + 17);
    EXPECT_EQ(shortened.rfind("These files:\r\n\r\nC:\\a folder\\", 0), 0u);
    EXPECT_NE(shortened.find("...", 16), std::string::npos);
    EXPECT_NE(shortened.find("\\deep.cw3\r\n    It is gone."), std::string::npos);
}
