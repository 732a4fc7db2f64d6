#include <gtest/gtest.h>

#include "core/HelpRules.h"

TEST(HelpRules, TopicAddressesFollowTheThreeRules)
{
    const std::string file = "C:\\Gridlark\\gridlark.chm";
    const std::pair<std::string, std::string> cases[] = {
        {"Options_Menu", "C:\\Gridlark\\gridlark.chm::\\Options_Menu.htm"},
        {"Contents.htm", "C:\\Gridlark\\gridlark.chm::\\Contents.htm"},
        {"", "C:\\Gridlark\\gridlark.chm::\\Contents.htm"},
        {"Intro.HTM", "C:\\Gridlark\\gridlark.chm::\\Intro.HTM.htm"},
        {"page.html", "C:\\Gridlark\\gridlark.chm::\\page.html"},
    };
    for (const auto& [topic, address] : cases)
        EXPECT_EQ(help::TopicAddress(file, topic), address) << topic;
}

TEST(HelpRules, TheHelpFileLiesBesideTheProgramUnlessItNamesAFolder)
{
    EXPECT_EQ(help::HelpFilePath("gridlark.chm", "C:\\Gridlark\\"), "C:\\Gridlark\\gridlark.chm");
    EXPECT_EQ(help::HelpFilePath("gridlark.chm", "C:\\Gridlark"), "C:\\Gridlark\\gridlark.chm");
    EXPECT_EQ(help::HelpFilePath("D:\\Docs\\other.chm", "C:\\Gridlark\\"), "D:\\Docs\\other.chm");
    EXPECT_EQ(help::HelpFilePath("gridlark.chm", ""), "gridlark.chm");
}

TEST(HelpRules, TheLibraryIsLookedForOnlyAlongAbsolutePathEntries)
{
    // Relative entries, a drive without its root and the current folder would let a library
    // planted beside an opened file run inside the program.
    EXPECT_EQ(help::LibraryCandidates("C:;;D:\\Windows\\;E:\\Tools;.;bin;..\\lib;\\tools;\\\\server\\share"),
              (std::vector<std::string>{"D:\\Windows\\hhctrl.ocx", "E:\\Tools\\hhctrl.ocx",
                                        "\\\\server\\share\\hhctrl.ocx"}));
    EXPECT_TRUE(help::LibraryCandidates("").empty());
}

TEST(HelpRules, MessagesAreJoinedExactly)
{
    EXPECT_EQ(help::MissingFileMessage("gridlark.chm"),
              "Could not locate the file, \"gridlark.chm.\"\r\nHelp cannot be displayed.");
    EXPECT_EQ(help::NotInstalledMessage("Gridlark"),
              "Gridlark uses the new Microsoft Help File Format calledHTML Help which is not installed on this "
              "computer.\r\nBefore you can use Gridlark Help, you will need to install HTML Help\r\n\r\nTo install "
              "HTML, install the latest version of Microsoft's Internet Explorer, or download the HTML Help Update "
              "utility from http://www.microsoft.example");
}
