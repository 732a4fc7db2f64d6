// The help access under Wine: the viewer's library, the messages, and the address handed to the
// viewer's entry (recorded through the seam; Wine's viewer shows no pages without Gecko).
#include <gtest/gtest.h>
#include <windows.h>

#include "app/Application.h"
#include "help/HTMLHelp.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"

using namespace testing_support;

namespace {

struct HelpCall {
    HWND owner;
    std::string address;
    UINT command;
    DWORD_PTR data;
};
std::vector<HelpCall> calls;

HWND WINAPI RecordHelpCall(HWND owner, LPCSTR address, UINT command, DWORD_PTR data)
{
    calls.push_back({owner, address, command, data});
    return nullptr;
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    void TearDown() override
    {
        SetHtmlHelpEntryForTests(nullptr);
        app::SetHelpFile(app::kHelpFileName);
    }
};

}  // namespace

TEST_F(HelpTest, TopicsReachTheViewersEntryWithTheirAddress)
{
    SetHtmlHelpEntryForTests(&RecordHelpCall);
    // The help file beside the program, and one named with its folder.
    const std::string beside = win::ProgramFolder() + "gridlark.chm";
    ASSERT_TRUE(CopyFileTo(DistFolder() + "gridlark.chm", beside));
    app::SetHelpFile("gridlark.chm");
    ShowHelpTopic("Options_Menu");
    ShowHelpTopic("");
    app::SetHelpFile(DistFolder() + "gridlark.chm");
    ShowHelpTopic("Contents.htm");
    ::DeleteFileA(beside.c_str());
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].address, beside + "::\\Options_Menu.htm");
    EXPECT_EQ(calls[1].address, beside + "::\\Contents.htm");
    EXPECT_EQ(calls[2].address, DistFolder() + "gridlark.chm::\\Contents.htm");
    for (const auto& call : calls) {
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.command, 0u);
        EXPECT_EQ(call.data, 0u);
    }
}

TEST_F(HelpTest, AMissingViewerOrHelpFileIsExplained)
{
    app::SetHelpFile("missing.chm");
    {
        // Both missing: only the viewer's message.
        WindowCatcher catcher;
        ShowHelpTopic("Contents.htm");
        auto box = catcher.Result();
        EXPECT_EQ(box.caption, "HTML Help Not Installed");
        EXPECT_EQ(box.iconName, "");
        EXPECT_EQ(box.texts.at(0).rfind("Gridlark uses the new Microsoft Help File Format called", 0), 0u);
    }
    SetHtmlHelpEntryForTests(&RecordHelpCall);
    WindowCatcher catcher;
    ShowHelpTopic("Contents.htm");
    auto box = catcher.Result();
    EXPECT_EQ(box.caption, "Help Error");
    EXPECT_EQ(box.iconName, "IDI_HAND");
    EXPECT_EQ(box.texts.at(0), "Could not locate the file, \"missing.chm.\"\r\nHelp cannot be displayed.");
    EXPECT_TRUE(calls.empty());
}

TEST_F(HelpTest, WinesViewerLibraryIsLoadedWithItsEntryAndReleased)
{
    LoadHelpLibrary();
    EXPECT_TRUE(HelpLibraryLoaded());
    UnloadHelpLibrary();
    EXPECT_FALSE(HelpLibraryLoaded());
}
