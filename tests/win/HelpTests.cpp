// The help access under Wine: the viewer's library, the messages, and the address handed to the
// viewer's entry (recorded through the seam; Wine's viewer shows no pages without Gecko).
#include <gtest/gtest.h>
#include <windows.h>

#include "app/Application.h"
#include "help/HTMLHelp.h"
#include "tests/win/TestSupport.h"
#include "settings/Settings.h"
#include "win/Handles.h"
#include "win/Paths.h"
#include "win/Registry.h"

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
        help::SetHelpFile(app::kHelpFileName);
    }
};

}  // namespace

TEST_F(HelpTest, TopicsReachTheViewersEntryWithTheirAddress)
{
    SetHtmlHelpEntryForTests(&RecordHelpCall);
    // The help file beside the program, and one named with its folder.
    const std::string beside = win::ProgramFolder() + "gridlark.chm";
    ASSERT_TRUE(CopyFileTo(DistFolder() + "gridlark.chm", beside));
    help::SetHelpFile("gridlark.chm");
    ShowHelpTopic("Options_Menu");
    ShowHelpTopic("");
    help::SetHelpFile(DistFolder() + "gridlark.chm");
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
    help::SetHelpFile("missing.chm");
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

// A viewer library planted beside an opened file, or in a relative PATH entry, must never run
// inside the program. Wine's own library is hidden, so only the planted copies could be found.
TEST_F(HelpTest, APlantedViewerLibraryIsLoadedOnlyFromAnAbsolutePathEntry)
{
    TempFolder program;
    ASSERT_TRUE(CopyFileTo(DistFolder() + "gridlark.exe", program / "gridlark.exe"));
    WriteFileText(program / "Crossword.jar", "game");
    TempFolder downloads;
    for (const char* folder : {"rel", "abs"}) {
        ::CreateDirectoryA((downloads / folder).c_str(), nullptr);
        ASSERT_TRUE(CopyFileTo(StubsFolder() + "hhctrl.ocx", downloads / folder + "\\hhctrl.ocx"));
    }
    ASSERT_TRUE(CopyFileTo(StubsFolder() + "hhctrl.ocx", downloads / "hhctrl.ocx"));
    ClearProductKeys();
    win::ScopeExit clear([] { ClearProductKeys(); });
    {
        win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey(ProductKeyPath, true));
        machine.WriteString("Java Path", StubsFolder());
    }
    char cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    ASSERT_TRUE(::SetCurrentDirectoryA(downloads.Path().c_str()));
    win::ScopeExit back([&] { ::SetCurrentDirectoryA(cwd); });
    // Wine's own copy is hidden from gridlark.exe alone, so the test program keeps its viewer.
    const std::string overrides = "Software\\Wine\\AppDefaults\\gridlark.exe\\DllOverrides";
    {
        win::RegistryAccessor user(HKEY_CURRENT_USER);
        ASSERT_TRUE(user.OpenKey(overrides, true));
        user.WriteString("hhctrl.ocx", "native");
    }
    win::ScopeExit unhide([&] { ::RegDeleteKeyA(HKEY_CURRENT_USER, overrides.c_str()); });

    struct Case {
        std::string pathEntry;
        bool loaded;
    };
    const Case cases[] = {
        {"rel", false},
        {".\\rel", false},
        {".", false},
        {downloads / "abs", true},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        StubLog log(temp);
        ScopedVariable path("PATH", c.pathEntry + ";C:\\windows\\system32;C:\\windows");
        const ProcessResult run = RunProgram(program / "gridlark.exe", "--play C:\\Puzzles\\Cats.JGF");
        ASSERT_TRUE(run.finished) << c.pathEntry;
        std::vector<std::string> loads;
        for (const auto& record : log.WaitFor(c.loaded ? 2 : 1))
            if (record.program == "hhctrl.ocx")
                loads.push_back(record.parameters);
        if (c.loaded)
            EXPECT_EQ(loads, std::vector<std::string>{downloads / "abs\\hhctrl.ocx"});
        else
            EXPECT_TRUE(loads.empty()) << c.pathEntry << ": " << loads.front();
    }
}
