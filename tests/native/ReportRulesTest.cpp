#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/ReportRules.h"
#include "core/SymbolTable.h"

using namespace faults;

namespace {

// What the append functions give, as a string, from a buffer of the given size.
template <typename F>
std::string Appended(F append, std::size_t capacity = 4096)
{
    std::vector<char> storage(capacity);
    text::FixedText out(storage.data(), storage.size());
    append(out);
    return std::string(out.View());
}

std::string StackLine(std::uintptr_t address, const std::optional<SymbolInfo>& symbol)
{
    std::string line = Appended([&](text::FixedText& out) { AppendStackLine(out, address, symbol); });
    EXPECT_TRUE(line.ends_with("\r\n"));
    return line.substr(0, line.size() - 2);
}

}  // namespace

TEST(ReportRules, ReleasesFromVistaOnAreNamedByVersionBuildAndProductType)
{
    struct Case {
        unsigned major, minor, build;
        bool server;
        const char* name;
    };
    const Case cases[] = {
        {6, 0, 6002, false, "Windows Vista"},
        {6, 0, 6002, true, "Windows Server 2008"},
        {6, 1, 7601, false, "Windows 7"},
        {6, 1, 7601, true, "Windows Server 2008 R2"},
        {6, 2, 9200, false, "Windows 8"},
        {6, 2, 9200, true, "Windows Server 2012"},
        {6, 3, 9600, false, "Windows 8.1"},
        {6, 3, 9600, true, "Windows Server 2012 R2"},
        {10, 0, 19045, false, "Windows 10"},
        {10, 0, 21999, false, "Windows 10"},
        {10, 0, 22000, false, "Windows 11"},
        {10, 0, 26100, false, "Windows 11"},
        {10, 0, 14393, true, "Windows Server 2016"},
        {10, 0, 17763, true, "Windows Server 2019"},
        {10, 0, 20348, true, "Windows Server 2022"},
        {10, 0, 26100, true, "Windows Server 2025"},
        {6, 4, 9800, false, "Windows NT 6.4"},
        {11, 0, 30000, false, "Windows NT 11.0"},
        {5, 2, 3790, true, "Windows Server 2003"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(faults::OsName(PlatformFamily::WindowsNT, c.major, c.minor, c.build, c.server), c.name)
            << c.major << "." << c.minor << "." << c.build;
}

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
    EXPECT_EQ(Appended([](text::FixedText& out) {
                  AppendCrashArguments(out, "C:\\Program Files\\Gridlark\\gridlark.exe", "Software\\Orvanel\\Gridlark",
                                       "C:\\Program Files\\Gridlark\\Error - gridlark.exe.txt");
              }),
              "\"C:\\Program Files\\Gridlark\\gridlark.exe\" \"Software\\Orvanel\\Gridlark\" "
              "\"C:\\Program Files\\Gridlark\\Error - gridlark.exe.txt\"");
    EXPECT_EQ(SetUpArguments("Gridlark", "http://www.orvanel.example/gridlark"),
              "\"Gridlark\" \"http://www.orvanel.example/gridlark\"");
}

TEST(ReportRules, TheReportHasItsFifteenLinesInOrder)
{
    ReportFacts facts;
    facts.programPath = "C:\\Gridlark\\gridlark.exe";
    const char* const parameters[] = {"--x", "C:\\My Puzzles\\a.JGF"};
    facts.parameters = parameters;
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
    const auto head = [&](text::FixedText& out) { AppendReportHead(out, facts); };
    EXPECT_EQ(Appended(head),
              "C:\\Gridlark\\gridlark.exe\r\n--x C:\\My Puzzles\\a.JGF \r\n12/10/2026 11:24:48 AM\r\n"
              "1.0.2.1\r\nWindows 5.01.2600 Service Pack 2\r\nWindows XP\r\n2096616\r\n1000\r\n900\r\n"
              "\r\nstd::runtime_error\r\ntwo\r\nlines\r\n0x00401000\r\n\r\n");
    facts.parameters = {};
    EXPECT_NE(Appended(head).find("gridlark.exe\r\n\r\n12/10/2026"), std::string::npos);
    // A buffer too small for the report keeps what fits and never writes past its end.
    EXPECT_EQ(Appended(head, 12), "C:\\Gridlark");
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

TEST(ReportRules, TheCutAndStructuredTextsAreFormedExactly)
{
    EXPECT_EQ(Appended([](text::FixedText& out) { AppendStackCut(out, 2048, 0x12ff00); }),
              "(the call stack goes on: its walk stopped after 2048 frames, at stack address 0x0012FF00)\r\n");
    EXPECT_EQ(
        Appended([](text::FixedText& out) { AppendStructuredMessage(out, "Access violation", 0xC0000005, 0x401a2b); }),
        "Access violation (code 0xC0000005) at address 0x00401A2B");
    EXPECT_EQ(AddressText(0x1234567890ull), "0x1234567890");
}

namespace {

// A table in the layout the build writes: functions {rva, name}, lines {rva, line, file}, files.
struct TableRows {
    std::vector<std::pair<std::uint32_t, std::string>> functions;
    std::vector<std::array<std::uint32_t, 3>> lines;
    std::vector<std::string> files;
};

void PutWord(std::vector<std::byte>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::byte>(value >> (8 * i)));
}

std::vector<std::byte> TableBytes(const TableRows& rows)
{
    std::string names;
    auto name = [&](const std::string& text) {
        const auto offset = static_cast<std::uint32_t>(names.size());
        names += text + '\0';
        return offset;
    };
    std::vector<std::byte> body;
    for (const auto& [rva, text] : rows.functions)
        PutWord(body, rva), PutWord(body, name(text));
    for (const auto& line : rows.lines)
        for (std::uint32_t word : line)
            PutWord(body, word);
    for (const auto& file : rows.files)
        PutWord(body, name(file));
    std::vector<std::byte> bytes;
    for (char c : SymbolTable::kMagic)
        bytes.push_back(static_cast<std::byte>(c));
    for (std::size_t count : {rows.functions.size(), rows.lines.size(), rows.files.size(), names.size()})
        PutWord(bytes, static_cast<std::uint32_t>(count));
    bytes.insert(bytes.end(), body.begin(), body.end());
    for (char c : names)
        bytes.push_back(static_cast<std::byte>(c));
    return bytes;
}

const TableRows kMainRows{{{0x1000, "TMainWin::Show()"}, {0x1100, "memcpy"}},
                          {{0x1000, 40, 0}, {0x1010, 41, 0}, {0x1030, 44, 0}},
                          {"Main.cpp"}};

}  // namespace

TEST(SymbolTable, FindsTheFunctionAndTheLineOfAnAddressWhereItLies)
{
    const auto bytes = TableBytes(kMainRows);
    const SymbolTable table(bytes);
    auto inside = table.Lookup(0x1018);
    ASSERT_TRUE(inside);
    EXPECT_EQ(StackLine(0x401018, inside), "[00401018] Main.TMainWin::Show() (Line 41, \"Main.cpp\" + 1) + $8");
    auto noLines = table.Lookup(0x1104);
    EXPECT_EQ(StackLine(0x401104, noLines), "[00401104] memcpy + $4");
    EXPECT_FALSE(table.Lookup(0x0fff));
}

TEST(SymbolTable, ContentOfAnyOtherShapeGivesAnEmptyTableAndOffsetsOutsideGiveNoName)
{
    const auto good = TableBytes(kMainRows);
    auto cut = good;
    cut.pop_back();
    auto longer = good;
    longer.push_back(std::byte{0});
    auto unterminated = good;
    unterminated.back() = std::byte{'x'};
    auto otherMagic = good;
    otherMagic[0] = std::byte{'X'};
    auto hugeCount = good;
    hugeCount[8] = hugeCount[9] = hugeCount[10] = hugeCount[11] = std::byte{0xFF};
    const std::string text = "GRIDLARK-SYMBOLS 1\nF 1000 TMainWin::Show()\n";
    const std::vector<std::byte> oldText(reinterpret_cast<const std::byte*>(text.data()),
                                         reinterpret_cast<const std::byte*>(text.data() + text.size()));
    for (const auto* bytes : std::initializer_list<const std::vector<std::byte>*>{&cut, &longer, &unterminated,
                                                                                  &otherMagic, &hugeCount, &oldText})
        EXPECT_TRUE(SymbolTable(*bytes).Empty());
    EXPECT_TRUE(SymbolTable(std::span<const std::byte>()).Empty());

    // Rows that point outside the names or the files name nothing, and read nothing outside.
    TableRows wrong = kMainRows;
    wrong.lines = {{0x1000, 40, 7}};
    auto bytes = TableBytes(wrong);
    bytes[SymbolTable::kHeaderSize + 4] = std::byte{0xF0};  // the first function's name offset
    const SymbolTable table(bytes);
    auto info = table.Lookup(0x1004);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->procedure, "");
    EXPECT_FALSE(info->line);
}
