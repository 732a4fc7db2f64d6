#include <gtest/gtest.h>

#include "faults/ReportRules.h"
#include "faults/SymbolTable.h"

using namespace faults;

TEST(ReportRules, ReleaseNamesFollowTheTable)
{
    struct Case {
        PlatformFamily family;
        unsigned major, minor;
        const char* name;
    };
    const Case cases[] = {
        {PlatformFamily::Windows9x, 4, 0, "Windows 95"},
        {PlatformFamily::Windows9x, 4, 10, "Windows 98"},
        {PlatformFamily::Windows9x, 4, 89, "Windows 98"},
        {PlatformFamily::Windows9x, 4, 90, "Windows ME"},
        {PlatformFamily::WindowsNT, 4, 0, "Windows NT"},
        {PlatformFamily::WindowsNT, 5, 0, "Windows 2000"},
        {PlatformFamily::WindowsNT, 5, 1, "Windows XP"},
        {PlatformFamily::WindowsNT, 5, 2, "Windows Server 2003"},
        {PlatformFamily::WindowsNT, 6, 0, "Windows Server 2003"},
        {PlatformFamily::WindowsNT, 3, 51, "Windows Server 2003"},
        {PlatformFamily::Other, 10, 0, "Windows 95"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OsName(c.family, c.major, c.minor), c.name) << c.major << "." << c.minor;
}

TEST(ReportRules, VersionTextsAndArgumentsAreFormedExactly)
{
    EXPECT_EQ(OsVersionText(5, 1, 2600, "Service Pack 2"), "Windows 5.01.2600 Service Pack 2");
    EXPECT_EQ(OsVersionText(10, 0, 19045, ""), "Windows 10.00.19045 ");
    EXPECT_EQ(OsVersionText(6, 1, 12, ""), "Windows 6.01.0012 ");
    EXPECT_EQ(ProductVersionText("1.0.2.1", ""), "1.0.2.1");
    EXPECT_EQ(ProductVersionText("1.0.25.3", "Debug, Pre-release"), "1.0.25.3 [Debug, Pre-release]");
    EXPECT_EQ(ErrorReportName("gridlark.exe"), "Error - gridlark.exe.txt");
    EXPECT_EQ(AddressText(0x4010aB), "0x004010AB");
    EXPECT_EQ(CrashArguments("C:\\Program Files\\Gridlark\\gridlark.exe", "Software\\Orvanel\\Gridlark",
                             "C:\\Program Files\\Gridlark\\Error - gridlark.exe.txt"),
              "\"C:\\Program Files\\Gridlark\\gridlark.exe\" \"Software\\Orvanel\\Gridlark\" "
              "\"C:\\Program Files\\Gridlark\\Error - gridlark.exe.txt\"");
    EXPECT_EQ(SetUpArguments("Gridlark", "http://www.orvanel.example/gridlark"),
              "\"Gridlark\" \"http://www.orvanel.example/gridlark\"");
}

TEST(ReportRules, TheReportHasItsFifteenLinesInOrder)
{
    ReportFacts facts;
    facts.programPath = "C:\\Gridlark\\gridlark.exe";
    facts.parameters = {"--x", "C:\\My Puzzles\\a.JGF"};
    facts.dateTime = "12/10/2026 11:24:48 AM";
    facts.productVersion = "1.0.2.1";
    facts.osVersion = "Windows 5.01.2600 Service Pack 2";
    facts.osName = "Windows XP";
    facts.totalMemoryKB = 2096616;
    facts.startMemoryKB = 1000;
    facts.nowMemoryKB = 900;
    facts.className = "std::runtime_error";
    facts.message = "two\r\nlines";
    facts.address = 0x401000;
    facts.callStack = {"[00401000]", "[00402000] Main.TMainWin::Run() + $10"};
    EXPECT_EQ(ReportText(facts),
              "C:\\Gridlark\\gridlark.exe\r\n--x C:\\My Puzzles\\a.JGF \r\n12/10/2026 11:24:48 AM\r\n"
              "1.0.2.1\r\nWindows 5.01.2600 Service Pack 2\r\nWindows XP\r\n2096616\r\n1000\r\n900\r\n"
              "\r\nstd::runtime_error\r\ntwo\r\nlines\r\n0x00401000\r\n\r\n[00401000]\r\n"
              "[00402000] Main.TMainWin::Run() + $10\r\n");
    facts.parameters.clear();
    EXPECT_NE(ReportText(facts).find("gridlark.exe\r\n\r\n12/10/2026"), std::string::npos);
}

TEST(ReportRules, StackLinesTakeTheFirstFormTheSymbolsAllow)
{
    SymbolInfo full;
    full.unit = "PuzzleList";
    full.procedure = "TMainWin::RefreshPuzzleList()";
    full.line = 52;
    full.sourceFile = "PuzzleList.cpp";
    full.procedureFirstLine = 47;
    full.lineOffset = 0x1c;
    SymbolInfo noFirstLine = full;
    noFirstLine.procedureFirstLine.reset();
    SymbolInfo noLine;
    noLine.unit = "Main";
    noLine.procedure = "TMainWin::Show()";
    noLine.procedureOffset = 0x2a;
    SymbolInfo procedureOnly;
    procedureOnly.procedure = "memcpy";
    procedureOnly.procedureOffset = 0x8;
    EXPECT_EQ(StackLine(0x4012ab, std::nullopt), "[004012AB]");
    EXPECT_EQ(StackLine(0x4012ab, full),
              "[004012AB] PuzzleList.TMainWin::RefreshPuzzleList() (Line 52, \"PuzzleList.cpp\" + 5) + $1c");
    EXPECT_EQ(StackLine(0x4012ab, noFirstLine),
              "[004012AB] PuzzleList.TMainWin::RefreshPuzzleList() (Line 52, \"PuzzleList.cpp\") + $1c");
    EXPECT_EQ(StackLine(0x4012ab, noLine), "[004012AB] Main.TMainWin::Show() + $2a");
    EXPECT_EQ(StackLine(0x4012ab, procedureOnly), "[004012AB] memcpy + $8");
}

TEST(SymbolTable, FindsTheFunctionAndTheLineOfAnAddress)
{
    const auto table = SymbolTable::Parse(
        "GRIDLARK-SYMBOLS 1\nS 0 Main.cpp\nF 1000 TMainWin::Show()\n"
        "F 1100 memcpy\nL 1000 40 0\nL 1010 41 0\nL 1030 44 0\n");
    auto inside = table.Lookup(0x1018);
    ASSERT_TRUE(inside);
    EXPECT_EQ(StackLine(0x401018, inside), "[00401018] Main.TMainWin::Show() (Line 41, \"Main.cpp\" + 1) + $8");
    auto noLines = table.Lookup(0x1104);
    EXPECT_EQ(StackLine(0x401104, noLines), "[00401104] memcpy + $4");
    EXPECT_FALSE(table.Lookup(0x0fff));
    EXPECT_TRUE(SymbolTable::Parse("something else").Empty());
}
