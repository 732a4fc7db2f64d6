// The crash report: in-process for the report's lines and the bug reporter's start; end to end
// with a main window that fails on purpose.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "faults/FatalError.h"
#include "faults/ReportRules.h"
#include "settings/Configs.h"
#include "tests/win/TestSupport.h"
#include "win/Paths.h"
#include "win/Registry.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

class KnownFailure : public std::runtime_error {
public:
    KnownFailure() : std::runtime_error("first line\r\nsecond line") {}
};

[[gnu::noinline]] void RaiseKnownFailure() { throw KnownFailure(); }

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The Common Files folder, pointed at a folder of the test for one scope.
class CommonFiles {
public:
    explicit CommonFiles(const std::string& folder)
    {
        win::RegistryAccessor key(HKEY_LOCAL_MACHINE);
        key.OpenKey(kKey, true);
        previous_ = key.ReadString("CommonFilesDir");
        key.WriteString("CommonFilesDir", folder);
        faults::GatherStartUpValues();
    }
    ~CommonFiles()
    {
        win::RegistryAccessor key(HKEY_LOCAL_MACHINE);
        key.OpenKey(kKey, true);
        if (previous_)
            key.WriteString("CommonFilesDir", *previous_);
        else
            key.DeleteValue("CommonFilesDir");
    }

private:
    static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion";
    std::optional<std::string> previous_;
};

}  // namespace

TEST(FatalError, TheReportHoldsEveryLineOfAKnownFailure)
{
    faults::GatherStartUpValues();
    faults::ClockForTests = [] {
        SYSTEMTIME t{};
        t.wYear = 2026, t.wMonth = 12, t.wDay = 10;
        return t;  // midnight: the date alone
    };
    win::CaughtException caught;
    try {
        RaiseKnownFailure();
    } catch (...) {
        caught = win::CaughtException::Current();
    }
    faults::WriteErrorReport(caught);
    faults::ClockForTests = nullptr;
    const auto& values = faults::Values();
    EXPECT_EQ(values.ReportFolder, win::ProgramFolder());
    EXPECT_EQ(values.ErrorReportPath, win::ProgramFolder() + "Error - win_tests.exe.txt");
    const auto lines = Lines(ReadFileText(values.ErrorReportPath));
    ::DeleteFileA(values.ErrorReportPath.c_str());
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[0], win::ProgramFileName());
    EXPECT_EQ(lines[2], "12/10/2026");
    EXPECT_EQ(lines[4].rfind("Windows ", 0), 0u);
    EXPECT_EQ(lines[5], values.OsName);
    EXPECT_EQ(lines[6], std::to_string(values.TotalMemoryKB));
    EXPECT_EQ(lines[7], std::to_string(values.StartMemoryKB));
    EXPECT_GT(std::stoull(lines[8]), 0u);
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10], "(anonymous namespace)::KnownFailure");
    EXPECT_EQ(lines[11], "first line");
    EXPECT_EQ(lines[12], "second line");
    EXPECT_EQ(lines[13], faults::AddressText(caught.site.address));
    EXPECT_EQ(lines[14], "");
    // The raise point's own function heads the stack, named from the program's table.
    EXPECT_NE(lines[15].find("RaiseKnownFailure() + $"), std::string::npos) << lines[15];
}

TEST(FatalError, AnUnwritableProgramFolderSendsTheReportToTheDocumentsThenToDriveC)
{
    TempFolder documents;
    EXPECT_EQ(faults::ChooseReportFolder("Q:\\no such drive", documents.Path()), documents.Path());
    EXPECT_EQ(faults::ChooseReportFolder("Q:\\no such drive", "Q:\\nor this"), "c:\\");
    EXPECT_EQ(faults::ChooseReportFolder(documents.Path().substr(0, documents.Path().size() - 1), "x"),
              documents.Path());
}

TEST(FatalError, TheBugReporterInCommonFilesWinsOverTheOneBesideTheProgram)
{
    TempFolder temp;
    StubLog log(temp);
    const std::string beside = win::ProgramFolder() + "Relaybug.Exe";
    ASSERT_TRUE(CopyFileTo(StubsFolder() + "Relaybug.Exe", beside));
    {
        CommonFiles common(temp.Path());
        EXPECT_EQ(faults::FindBugReporter(), beside);  // none in Common Files yet
        win::ForceDirectories(temp / "Orvanel");
        ASSERT_TRUE(CopyFileTo(StubsFolder() + "Relaybug.Exe", temp / "Orvanel\\Relaybug.Exe"));
        EXPECT_EQ(faults::FindBugReporter(), temp / "Orvanel\\Relaybug.Exe");
        faults::ConfigureBugReporter("Gridlark", "http://www.orvanel.example/gridlark");
        auto records = log.WaitFor(1);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].parameters, "\"Gridlark\" \"http://www.orvanel.example/gridlark\"");
    }
    ::DeleteFileA(beside.c_str());
}

namespace {

struct CrashCase {
    const char* mode;
    const char* className;
    const char* messageStart;
    const char* stackNames;  // a function the report's stack must name
};

class CrashTest : public ::testing::TestWithParam<CrashCase> {};

}  // namespace

TEST_P(CrashTest, AFailureWritesTheReportStartsTheBugReporterAndEndsWithNothingSaved)
{
    const CrashCase& c = GetParam();
    ClearProductKeys();
    TempFolder temp;
    StubLog log(temp);
    const std::string folder = DistFolder() + "..\\crash\\";
    const std::string program = folder + "crashtest.exe";
    const std::string report = folder + "Error - crashtest.exe.txt";
    ::DeleteFileA(report.c_str());
    ASSERT_TRUE(CopyFileTo(StubsFolder() + "Relaybug.Exe", folder + "Relaybug.Exe"));
    {
        win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
        machine.OpenKey(ProductKeyPath, true);
        machine.WriteString("Java Path", StubsFolder());
        machine.WriteString("Repository", temp / "puzzles");
    }
    const ProcessResult result = RunProgram(program, c.mode, 60s);
    ASSERT_TRUE(result.finished);
    EXPECT_NE(result.exitCode, 0u);
    const auto records = log.WaitFor(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].program, "Relaybug.Exe");
    // The program's path as the hook has it, the settings key, the report.
    std::string fullProgram(MAX_PATH, '\0');
    fullProgram.resize(::GetFullPathNameA(program.c_str(), MAX_PATH, fullProgram.data(), nullptr));
    std::string fullReport(MAX_PATH, '\0');
    fullReport.resize(::GetFullPathNameA(report.c_str(), MAX_PATH, fullReport.data(), nullptr));
    EXPECT_EQ(records[0].parameters, "\"" + fullProgram + "\" \"Software\\Orvanel\\Gridlark\" \"" + fullReport + "\"");
    const auto lines = Lines(ReadFileText(report));
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[1], std::string(c.mode) + " ");
    EXPECT_EQ(lines[10], c.className);
    EXPECT_EQ(lines[11].rfind(c.messageStart, 0), 0u) << lines[11];
    std::string stack;
    for (std::size_t i = 15; i < lines.size(); ++i)
        stack += lines[i] + "\n";
    EXPECT_NE(stack.find(c.stackNames), std::string::npos) << stack;
    // Nothing the main window saves on closing was saved.
    win::RegistryAccessor user(HKEY_CURRENT_USER);
    EXPECT_FALSE(user.OpenKeyReadOnly(ProductKeyPath) && user.ValueExists("Main Window"));
    if (!HasFailure())
        ::DeleteFileA(report.c_str());
    ClearProductKeys();
}

INSTANTIATE_TEST_SUITE_P(
    Roads, CrashTest,
    ::testing::Values(CrashCase{"create", "(anonymous namespace)::ListFailure", "the puzzle list could not be filled",
                                "TMainWin::FormCreate() (Line "},
                      CrashCase{"handler", "(anonymous namespace)::ListFailure", "the puzzle list could not be filled",
                                "TMainWin::RefreshPuzzleList() (Line "},
                      CrashCase{"access", "win::StructuredException", "Access violation",
                                "TMainWin::RefreshPuzzleList()"}));
