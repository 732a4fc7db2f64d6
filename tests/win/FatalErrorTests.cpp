// The crash report: in-process for the report's lines and the bug reporter's start; end to end
// with a main window that fails on purpose.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <sstream>

#include "faults/FatalError.h"
#include "core/ReportRules.h"
#include "settings/Settings.h"
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

// A known chain of three calls, the innermost raising. Each call has work after it, so that none
// becomes a jump and every caller keeps its frame.
volatile bool raise = true;
volatile int calls = 0;

[[gnu::noinline]] void RaiseKnownFailure()
{
    if (raise)
        throw KnownFailure();
    calls = calls + 1;
}

[[gnu::noinline]] void MiddleOfChain()
{
    RaiseKnownFailure();
    calls = calls + 1;
}

[[gnu::noinline]] void OuterOfChain()
{
    MiddleOfChain();
    calls = calls + 1;
}

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
    faults::SetReportSeams({.clock = [] {
        SYSTEMTIME t{};
        t.wYear = 2026, t.wMonth = 12, t.wDay = 10;
        return t;  // midnight: the date alone
    }});
    win::CaughtException caught;
    try {
        OuterOfChain();
    } catch (...) {
        caught = win::CaughtException::Current();
    }
    faults::WriteErrorReport(caught);
    faults::SetReportSeams({});
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
    EXPECT_EQ(lines[13], faults::AddressText(caught.site->address));
    EXPECT_EQ(lines[14], "");
    // The raising function heads the stack, named from the program's table (the compiler may have
    // moved the throw to the function's cold part, "[clone .cold]"), its callers after it
    // in order, with no address left over from calls that already returned before them.
    ASSERT_GE(lines.size(), 18u);
    EXPECT_NE(lines[15].find("RaiseKnownFailure()"), std::string::npos) << lines[15];
    EXPECT_NE(lines[16].find("MiddleOfChain()"), std::string::npos) << lines[16];
    EXPECT_NE(lines[17].find("OuterOfChain()"), std::string::npos) << lines[17];
}

namespace {

[[gnu::noinline]] void RaiseAtDepth(int depth)
{
    if (depth == 0)
        RaiseKnownFailure();
    else
        RaiseAtDepth(depth - 1);
    calls = calls + 1;
}

// The report's call-stack lines that name the function.
std::size_t LinesNaming(const std::vector<std::string>& lines, const std::string& name)
{
    std::size_t count = 0;
    for (const auto& line : lines)
        count += line.find(name) != std::string::npos ? 1 : 0;
    return count;
}

}  // namespace

// The walk covers the whole stack, however deep; only where its room runs out does it stop, and
// the report then says where.
TEST(FatalError, TheCallStackIsWalkedWholeOrItsStopIsStated)
{
    faults::GatherStartUpValues();
    for (int depth : {300, 3000}) {
        win::CaughtException caught;
        try {
            RaiseAtDepth(depth);
        } catch (...) {
            caught = win::CaughtException::Current();
        }
        faults::WriteErrorReport(caught);
        const auto lines = Lines(ReadFileText(faults::Values().ErrorReportPath));
        ::DeleteFileA(faults::Values().ErrorReportPath.c_str());
        ASSERT_FALSE(lines.empty());
        const bool cut = lines.back().rfind("(the call stack goes on: its walk stopped after ", 0) == 0;
        if (depth < static_cast<int>(win::ThrowSite::kMostFrames)) {
            EXPECT_EQ(LinesNaming(lines, "RaiseAtDepth(int)"), static_cast<std::size_t>(depth) + 1);
            EXPECT_FALSE(cut) << lines.back();
        } else {
            EXPECT_TRUE(cut) << lines.back();
            EXPECT_NE(lines.back().find(std::to_string(win::ThrowSite::kMostFrames) + " frames"), std::string::npos);
        }
    }
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

TEST(FatalError, ConfiguringABugReporterThatIsNotInstalledSaysWhereItWasLookedFor)
{
    TempFolder temp;
    StubLog log(temp);
    CommonFiles common(temp.Path());
    WindowCatcher box;
    faults::ConfigureBugReporter("Gridlark", "http://www.orvanel.example/gridlark");
    const CapturedWindow shown = box.Result();
    ASSERT_TRUE(shown.found);
    EXPECT_EQ(shown.caption, "Gridlark");
    ASSERT_FALSE(shown.texts.empty());
    EXPECT_NE(shown.texts.back().find("is not installed"), std::string::npos);
    EXPECT_NE(shown.texts.back().find(temp / "Orvanel\\"), std::string::npos) << shown.texts.back();
    EXPECT_NE(shown.texts.back().find(win::ProgramFolder()), std::string::npos);
    EXPECT_TRUE(log.Records().empty());
}

namespace {

// What lies beside the failing program as its address table.
enum class Table { Real, Huge1GB, Huge4GBAndMore, Garbage };

struct CrashCase {
    const char* mode;
    const char* className;
    const char* messageStart;
    // The function that stack line 1 names; none where the table names nothing, and line 1 is
    // then the failure's address itself, bare.
    const char* firstFunction;
    const char* laterFunction;  // a caller the stack must name further down, if any
    Table table = Table::Real;
};

class CrashTest : public ::testing::TestWithParam<CrashCase> {};

// A file of the given size that holds nothing but a few bytes at its start (sparse where the file
// system allows).
void WriteSizedFile(const std::string& path, std::uint64_t size, const std::string& start)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, start.data(), static_cast<DWORD>(start.size()), &written, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    EXPECT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
    ::CloseHandle(file);
}

void PlaceTable(Table table, const std::string& from, const std::string& to)
{
    const std::string start = "GLSYMTB2\xff\xff\xff\x7f\xff\xff\xff\x7f";
    switch (table) {
        case Table::Real:
            ASSERT_TRUE(CopyFileTo(from, to));
            break;
        case Table::Huge1GB:
            WriteSizedFile(to, 1ull << 30, start);
            break;
        case Table::Huge4GBAndMore:
            WriteSizedFile(to, (4ull << 30) + 4097, start);
            break;
        case Table::Garbage:
            WriteFileText(to, start + std::string(70000, '\x5a'));
            break;
    }
}

// Waits (bounded) until no process of the given file name runs any more: every bug reporter the
// failing program started has then written its record.
bool WaitForNoProcess(const char* name)
{
    return WaitUntil(
        [name] {
            HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            PROCESSENTRY32 entry{};
            entry.dwSize = sizeof(entry);
            bool found = false;
            for (BOOL more = ::Process32First(snapshot, &entry); more && !found;
                 more = ::Process32Next(snapshot, &entry))
                found = ::lstrcmpiA(entry.szExeFile, name) == 0;
            ::CloseHandle(snapshot);
            return !found;
        },
        std::chrono::seconds(20));
}

std::string FullPath(const std::string& path)
{
    std::string full(MAX_PATH, '\0');
    full.resize(::GetFullPathNameA(path.c_str(), MAX_PATH, full.data(), nullptr));
    return full;
}

}  // namespace

// Every road into the crash report ends the same: one bug reporter start with the three
// arguments, a report whose first stack line is the failing function, a non-zero exit code and
// nothing saved.
TEST_P(CrashTest, AFailureWritesTheReportStartsTheBugReporterOnceAndEndsWithNothingSaved)
{
    const CrashCase& c = GetParam();
    ClearProductKeys();
    TempFolder temp;
    StubLog log(temp);
    const std::string built = DistFolder() + "..\\crash\\";
    const std::string program = temp / "crashtest.exe";
    const std::string report = temp / "Error - crashtest.exe.txt";
    ASSERT_TRUE(CopyFileTo(built + "crashtest.exe", program));
    PlaceTable(c.table, built + "crashtest.sym", temp / "crashtest.sym");
    ASSERT_TRUE(CopyFileTo(StubsFolder() + "Relaybug.Exe", temp / "Relaybug.Exe"));
    {
        win::RegistryAccessor machine(HKEY_LOCAL_MACHINE);
        machine.OpenKey(ProductKeyPath, true);
        machine.WriteString("Java Path", StubsFolder());
        machine.WriteString("Repository", temp / "puzzles");
    }
    const ProcessResult result = RunProgram(program, c.mode, 60s);
    ASSERT_TRUE(result.finished);
    EXPECT_NE(result.exitCode, 0u);
    ASSERT_TRUE(WaitForNoProcess("Relaybug.Exe"));
    const auto records = log.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].program, "Relaybug.Exe");
    // The program's path as the hook has it, the settings key, the report.
    EXPECT_EQ(records[0].parameters,
              "\"" + FullPath(program) + "\" \"Software\\Orvanel\\Gridlark\" \"" + FullPath(report) + "\"");
    const auto lines = Lines(ReadFileText(report));
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[1], std::string(c.mode) + " ");
    EXPECT_EQ(lines[10], c.className);
    EXPECT_EQ(lines[11].rfind(c.messageStart, 0), 0u) << lines[11];
    // The message may take several lines; the address and an empty line follow it.
    std::size_t address = 12;
    while (address + 1 < lines.size() && !(lines[address].rfind("0x", 0) == 0 && lines[address + 1].empty()))
        ++address;
    ASSERT_LT(address + 2, lines.size());
    const std::string& first = lines[address + 2];
    if (c.firstFunction != nullptr) {
        EXPECT_NE(first.find(c.firstFunction), std::string::npos) << first;
    } else {
        EXPECT_EQ(first, "[" + lines[address].substr(2) + "]");
    }
    std::string later;
    for (std::size_t i = address + 3; i < lines.size(); ++i)
        later += lines[i] + "\n";
    if (c.laterFunction != nullptr) {
        EXPECT_NE(later.find(c.laterFunction), std::string::npos) << later;
    }
    // Nothing the main window saves on closing was saved.
    win::RegistryAccessor user(HKEY_CURRENT_USER);
    EXPECT_FALSE(user.OpenKeyReadOnly(ProductKeyPath) && user.ValueExists("Main Window"));
    ClearProductKeys();
}

namespace {

constexpr const char* kListFailure = "(anonymous namespace)::ListFailure";
constexpr const char* kListMessage = "the puzzle list could not be filled";
constexpr const char* kRaiser = "FailOnRefill(";
constexpr const char* kAccess = "EXCEPTION_ACCESS_VIOLATION";

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Roads, CrashTest,
    // A thread's entry is stdcall: on 32-bit its name bears the size of its arguments ("@4").
    ::testing::Values(CrashCase{"create", kListFailure, kListMessage, kRaiser, "ListingWorker::ThreadStart(void*)"},
                      CrashCase{"handler", kListFailure, kListMessage, kRaiser, "LibraryFeed::Relist() (Line "},
                      CrashCase{"access", kAccess, "Access violation", kRaiser, "LibraryFeed::Relist()"},
                      CrashCase{"worker", kAccess, "Access violation", "WorkerFault(", nullptr},
                      CrashCase{"threads 2", kAccess, "Access violation", "WorkerFault(", nullptr},
                      CrashCase{"threads 16", kAccess, "Access violation", "WorkerFault(", nullptr},
                      CrashCase{"nullthread", kAccess, "Access violation", nullptr, nullptr},
                      CrashCase{"throwinreport", kListFailure, kListMessage, kRaiser, nullptr},
                      CrashCase{"faultinreport", kListFailure, kListMessage, kRaiser, nullptr},
                      CrashCase{"handler", kListFailure, kListMessage, nullptr, nullptr, Table::Huge1GB},
                      CrashCase{"handler", kListFailure, kListMessage, nullptr, nullptr, Table::Huge4GBAndMore},
                      CrashCase{"handler", kListFailure, kListMessage, nullptr, nullptr, Table::Garbage}));
