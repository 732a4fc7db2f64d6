#include "faults/FatalError.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <span>

#include "win/VersionResource.h"
#include "core/FixedText.h"
#include "core/ProductKey.h"
#include "core/Text.h"
#include "core/ReportRules.h"
#include "core/SymbolTable.h"
#include "win/Handles.h"
#include "win/LazyApi.h"
#include "win/Messages.h"
#include "win/Paths.h"
#include "win/Registry.h"

namespace faults {

namespace {

ReportSeams reportSeams;

constexpr const char* kProbeName = "~gridlark-write-probe-7q3x.tmp";
constexpr const char* kFallbackDocuments = "C:\\My Documents\\";
constexpr const char* kLastResortFolder = "c:\\";
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kFallbackCommonFiles = "c:\\program files\\common files\\";
constexpr const char* kMakerFolder = "Orvanel\\";
constexpr const char* kBugReporter = "Relaybug.Exe";
constexpr const char* kSymbolTableExtension = ".sym";
constexpr std::string_view kLineEnd = "\r\n";
constexpr UINT kCrashExitCode = 1;
// The real table is well under a megabyte; anything far larger beside the program is not ours.
constexpr LONGLONG kMostSymbolTableBytes = 64LL << 20;
// How long a thread that fails while another one reports waits for that one to end the program.
constexpr DWORD kWaitForReporterMs = 30000;

StartUpValues values;
std::string bugReporterInCommonFiles, bugReporterBesideProgram;
DWORD uiThread = 0;
// What ends the modules (the help window) before the process ends after a report.
void (*endModules)() = nullptr;

// The address table beside the program, mapped for the program's life and read in place.
win::UniqueMappedView symbolView;
SymbolTable symbolTable;

// What the report tells of one failure.
struct Failure {
    const char* className = "";
    const char* message = "";
    std::uintptr_t address = 0;
    std::span<const std::uintptr_t> frames;
    std::uintptr_t stoppedAt = 0;      // where the walk stopped short of the stack's end, or 0
    bool firstIsFaultAddress = false;  // the first frame is the faulting instruction, no return address
};

// The room the crash path works in, reserved with the program: a report is written when the heap
// may be damaged, so nothing on its way allocates.
struct CrashRoom {
    char text[16 * 1024];  // the report's lines, written out one by one
    char className[256];
    char message[2048];
    char dateTime[256];
    char command[8 * MAX_PATH];  // the bug reporter's command line
    std::uintptr_t frames[16 * 1024];
};
CrashRoom room;

// The thread that reports, once per run, and whether the bug reporter was started.
std::atomic<DWORD> reportingThread{0};
std::atomic<bool> reporterStarted{false};
std::string_view crashProgramPath;

bool Writable(const std::string& folder)
{
    const std::string probe = text::IncludeTrailingBackslash(folder) + kProbeName;
    HANDLE h =
        ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    ::DeleteFileA(probe.c_str());
    return true;
}

std::string DocumentsFolder()
{
    char path[MAX_PATH] = {};
    if (!win::ShellFolderPath(CSIDL_PERSONAL, path) || path[0] == '\0')
        return kFallbackDocuments;
    return text::IncludeTrailingBackslash(path);
}

std::uint64_t AvailableMemoryKB()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatusEx(&status);
    return status.ullAvailPhys >> 10;
}

// The real version: GetVersionExA answers what the compatibility layer makes of a program without
// a manifest entry for the release (6.2 on every Windows since 8); RtlGetVersion is not changed.
OSVERSIONINFOEXW RealVersion()
{
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    using Fn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    if (const auto fn = win::LazyProc<Fn>("ntdll.dll", "RtlGetVersion"); fn != nullptr && fn(&version) == 0)
        return version;
    OSVERSIONINFOEXA ansi{};
    ansi.dwOSVersionInfoSize = sizeof(ansi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ansi));
#pragma GCC diagnostic pop
    version.dwMajorVersion = ansi.dwMajorVersion;
    version.dwMinorVersion = ansi.dwMinorVersion;
    version.dwBuildNumber = ansi.dwBuildNumber;
    version.dwPlatformId = ansi.dwPlatformId;
    version.wProductType = ansi.wProductType;
    ::MultiByteToWideChar(CP_ACP, 0, ansi.szCSDVersion, -1, version.szCSDVersion, 128);
    return version;
}

void QueryPlatform()
{
    const OSVERSIONINFOEXW version = RealVersion();
    const PlatformFamily family = version.dwPlatformId == VER_PLATFORM_WIN32_NT        ? PlatformFamily::WindowsNT
                                  : version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? PlatformFamily::Windows9x
                                                                                       : PlatformFamily::Other;
    values.OsVersionText = OsVersionText(version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
                                         win::AnsiText(version.szCSDVersion));
    values.OsName = OsName(family, version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
                           version.wProductType != 0 && version.wProductType != VER_NT_WORKSTATION);
}

std::string CommonFilesFolder()
{
    win::RegistryAccessor reader(HKEY_LOCAL_MACHINE);
    if (reader.OpenKeyReadOnly(kCurrentVersionKey))
        // A relative folder would start whatever Relaybug.Exe the current folder holds.
        if (auto folder = reader.ReadString("CommonFilesDir"); folder && text::IsAbsolutePath(*folder))
            return text::IncludeTrailingBackslash(*folder);
    return kFallbackCommonFiles;
}

// The program's address table lies beside it, named after it: gridlark.sym. It is mapped once;
// a missing, huge or foreign file leaves the table empty, and every stack line a bare address.
void MapSymbolTable()
{
    if (symbolView)
        return;
    const std::string& program = values.ProgramPath;
    const std::string path =
        program.substr(0, program.size() - text::ExtractFileExt(program).size()) + kSymbolTableExtension;
    win::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMostSymbolTableBytes)
        return;
    win::UniqueHandle mapping(::CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping)
        return;
    symbolView.reset(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (symbolView)
        symbolTable =
            SymbolTable({static_cast<const std::byte*>(symbolView.get()), static_cast<std::size_t>(size.QuadPart)});
}

// "c" format: the short date and the long time of the user's locale; the date alone at midnight.
std::string_view DateTimeNow()
{
    SYSTEMTIME now{};
    if (reportSeams.clock != nullptr)
        now = reportSeams.clock();
    else
        ::GetLocalTime(&now);
    char* out = room.dateTime;
    const int capacity = static_cast<int>(sizeof(room.dateTime));
    int date = ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, out, capacity / 2);
    date = date > 0 ? date - 1 : 0;
    out[date] = '\0';
    if (now.wHour == 0 && now.wMinute == 0 && now.wSecond == 0 && now.wMilliseconds == 0)
        return {out, static_cast<std::size_t>(date)};
    out[date] = ' ';
    int time = ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, out + date + 1, capacity - date - 1);
    time = time > 0 ? time - 1 : 0;
    out[date + 1 + time] = '\0';
    return {out, static_cast<std::size_t>(date + 1 + time)};
}

// What the table knows of a stack address. Only addresses in the program's own code are looked
// up; a return address is looked up by the call before it, which may be its function's last
// instruction, and its offsets are still measured to the address itself.
std::optional<SymbolInfo> Describe(std::uintptr_t address, bool returnAddress)
{
    const std::uintptr_t inside = returnAddress ? address - 1 : address;
    if (!win::InProgramCode(inside))
        return std::nullopt;
    auto info = symbolTable.Lookup(inside - win::ProgramImageBase());
    if (info && returnAddress) {
        info->procedureOffset += 1;
        info->lineOffset += 1;
    }
    return info;
}

const void* StackPointer(const CONTEXT& context)
{
#ifdef _WIN64
    return reinterpret_cast<const void*>(context.Rsp);
#else
    return reinterpret_cast<const void*>(context.Esp);
#endif
}

// The caught exception's facts, copied into the crash room: a throw inside the reporting would
// overwrite the thread's record.
Failure FailureOf(const win::CaughtException& caught)
{
    Failure failure;
    text::FixedText::Copy(room.className, sizeof(room.className), win::ClassNameOf(caught));
    text::FixedText::Copy(room.message, sizeof(room.message), win::MessageOf(caught));
    failure.className = room.className;
    failure.message = room.message;
    if (const win::ThrowSite* site = win::RaiseOf(caught); site != nullptr && site->walk.count > 0) {
        const std::size_t count = std::min(site->walk.count, std::size(room.frames));
        std::copy_n(site->frames, count, room.frames);
        failure.address = site->address;
        failure.frames = std::span(room.frames, count);
        failure.stoppedAt = site->walk.stoppedAt;
    } else {
        const int here = 0;
        const win::StackWalk walk = win::ScanStack(&here, room.frames);
        failure.frames = std::span(room.frames, walk.count);
        failure.stoppedAt = walk.stoppedAt;
    }
    return failure;
}

// A structured exception's facts: its kind, the faulting address, and the stack from the faulting
// frame outwards.
Failure FailureOf(const EXCEPTION_POINTERS& pointers)
{
    const EXCEPTION_RECORD& record = *pointers.ExceptionRecord;
    const auto address = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
    text::FixedText message(room.message);
    AppendStructuredMessage(message, win::StructuredExceptionName(record.ExceptionCode), record.ExceptionCode, address);
    Failure failure;
    failure.className = win::StructuredExceptionClass(record.ExceptionCode);
    failure.message = room.message;
    failure.address = address;
    room.frames[0] = address;
    const win::StackWalk walk =
        win::ScanStack(StackPointer(*pointers.ContextRecord), std::span(room.frames + 1, std::size(room.frames) - 1));
    failure.frames = std::span(room.frames, walk.count + 1);
    failure.stoppedAt = walk.stoppedAt;
    failure.firstIsFaultAddress = true;
    return failure;
}

// The report file, written a line at a time so that whatever stops the writing leaves every line
// before it in place.
class ReportFile {
public:
    ReportFile()
        : file_(::CreateFileA(values.ErrorReportPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)),
          text_(room.text)
    {
    }
    bool IsOpen() const { return static_cast<bool>(file_); }
    text::FixedText& Text() { return text_; }
    // Writes what the text holds; the writing stops at the first failure.
    bool Flush()
    {
        DWORD written = 0;
        const auto size = static_cast<DWORD>(text_.Size());
        const bool ok = ::WriteFile(file_.get(), text_.CStr(), size, &written, nullptr) && written == size;
        text_.Clear();
        return ok;
    }

private:
    win::UniqueHandle file_;
    text::FixedText text_;
};

void WriteReport(const Failure& failure)
{
    ReportFile report;
    if (!report.IsOpen())
        return;
    const char* const* arguments = __argv;
    ReportFacts facts;
    facts.programPath = values.ProgramPath;
    facts.parameters = std::span(arguments + (__argc > 0 ? 1 : 0), __argc > 1 ? __argc - 1 : 0);
    facts.dateTime = DateTimeNow();
    facts.productVersion = values.ProductVersionText;
    facts.osVersion = values.OsVersionText;
    facts.osName = values.OsName;
    facts.totalMemoryKB = values.TotalMemoryKB;
    facts.startMemoryKB = values.StartMemoryKB;
    facts.nowMemoryKB = AvailableMemoryKB();
    facts.className = failure.className;
    facts.message = failure.message;
    facts.address = failure.address;
    AppendReportHead(report.Text(), facts);
    if (!report.Flush())
        return;
    for (std::size_t i = 0; i < failure.frames.size(); ++i) {
        const bool returnAddress = i > 0 || !failure.firstIsFaultAddress;
        AppendStackLine(report.Text(), failure.frames[i], Describe(failure.frames[i], returnAddress));
        if (!report.Flush())
            return;
        if (i == 0 && reportSeams.step != nullptr)
            reportSeams.step();
    }
    if (failure.stoppedAt != 0) {
        AppendStackCut(report.Text(), failure.frames.size(), failure.stoppedAt);
        report.Flush();
    }
}

const std::string& BugReporter()
{
    return win::FileExists(bugReporterInCommonFiles) ? bugReporterInCommonFiles : bugReporterBesideProgram;
}

// The bug reporter, started as a program of its own: the shell would want COM on this thread,
// and this may be any thread of the program.
void StartBugReporter()
{
    const std::string& reporter = BugReporter();
    text::FixedText command(room.command);
    command.Append("\"").Append(reporter).Append("\" ");
    AppendCrashArguments(command, crashProgramPath, ProductKeyPath, values.ErrorReportPath);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(reporter.c_str(), room.command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

// The end of every crash: the bug reporter is started unless it was already, and the program
// ends. No window's close handling runs and nothing is saved; on the UI thread the modules still
// end (the help window closes), elsewhere the help window is left to the end of the process,
// since closing it would wait for the UI thread. No static destructor runs.
[[noreturn]] void EndAfterReport()
{
    if (!reporterStarted.exchange(true))
        StartBugReporter();
    if (::GetCurrentThreadId() == uiThread && endModules != nullptr)
        endModules();
    ::TerminateProcess(::GetCurrentProcess(), kCrashExitCode);
    ::ExitProcess(kCrashExitCode);
}

// Lets the first failing thread of the run report. A failure of the reporting thread itself (a
// second fault while reporting) goes straight to the end; another thread waits for the reporting
// one to end the program, and ends it itself should that never happen.
void EnterCrashPath(std::string_view programPath)
{
    const DWORD self = ::GetCurrentThreadId();
    DWORD expected = 0;
    if (reportingThread.compare_exchange_strong(expected, self)) {
        crashProgramPath = programPath;
        return;
    }
    if (expected != self)
        ::Sleep(kWaitForReporterMs);
    EndAfterReport();
}

// Writes the report of a caught exception or a structured one, then ends the program.
template <typename Source>
[[noreturn]] void ReportAndEnd(const Source& source)
{
    try {
        WriteReport(FailureOf(source));
    } catch (...) {
        // The report stays as far as it was written.
    }
    EndAfterReport();
}

LONG WINAPI ReportStructured(EXCEPTION_POINTERS* pointers)
{
    EnterCrashPath(values.ProgramPath);
    ReportAndEnd(*pointers);
}

// Structured exceptions are no C++ exceptions here: no guard sees them. Those thrown in the
// program's own code end in the report at once, before any handler of the system could swallow
// them; the unhandled-exception filter takes whatever else reaches the top.
LONG WINAPI FirstChance(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    switch (record.ExceptionCode) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_PRIV_INSTRUCTION:
        case EXCEPTION_IN_PAGE_ERROR:
            if (win::InProgramCode(reinterpret_cast<std::uintptr_t>(record.ExceptionAddress)))
                return ReportStructured(pointers);
            return EXCEPTION_CONTINUE_SEARCH;
        default:
            return EXCEPTION_CONTINUE_SEARCH;
    }
}

}  // namespace

void SetReportSeams(const ReportSeams& seams) { reportSeams = seams; }

std::string ChooseReportFolder(const std::string& programFolder, const std::string& documentsFolder)
{
    for (const std::string& folder : {programFolder, documentsFolder})
        if (!folder.empty() && Writable(folder))
            return text::IncludeTrailingBackslash(folder);
    return kLastResortFolder;
}

void InitializeFatalError(void (*endModulesBeforeExit)())
{
    uiThread = ::GetCurrentThreadId();
    endModules = endModulesBeforeExit;
    GatherStartUpValues();
    win::SetExceptionHook([](const win::CaughtException& caught) { ReportFatalError(caught, values.ProgramPath); });
    ::AddVectoredExceptionHandler(1, &FirstChance);
    ::SetUnhandledExceptionFilter(&ReportStructured);
}

void GatherStartUpValues()
{
    values.ProgramPath = win::ProgramFileName();
    values.ReportFolder = ChooseReportFolder(text::ExtractFilePath(values.ProgramPath), DocumentsFolder());
    values.ErrorReportPath = values.ReportFolder + ErrorReportName(text::ExtractFileName(values.ProgramPath));
    QueryPlatform();
    VersionResource version;
    values.ProductVersionText = ProductVersionText(version.FileVersion, version.FlagsText);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatusEx(&status);
    values.TotalMemoryKB = status.ullTotalPhys >> 10;
    values.StartMemoryKB = status.ullAvailPhys >> 10;
    values.BugReporterFolder = CommonFilesFolder() + kMakerFolder;
    bugReporterInCommonFiles = values.BugReporterFolder + kBugReporter;
    bugReporterBesideProgram = text::ExtractFilePath(values.ProgramPath) + kBugReporter;
    MapSymbolTable();
}

const StartUpValues& Values() { return values; }

void WriteErrorReport(const win::CaughtException& caught) { WriteReport(FailureOf(caught)); }

std::string FindBugReporter() { return BugReporter(); }

void ReportFatalError(const win::CaughtException& caught, const std::string& programPath)
{
    EnterCrashPath(programPath);
    ReportAndEnd(caught);
}

// Without the bug reporter there is nothing to set up: the user learns where it was looked for.
void ConfigureBugReporter(const std::string& productName, const std::string& webAddress, HWND owner)
{
    if (!win::FileExists(FindBugReporter())) {
        win::ShowMessage(owner,
                         BugReporterMissingMessage(values.BugReporterFolder, text::ExtractFilePath(values.ProgramPath)),
                         productName.c_str(), MB_ICONINFORMATION | MB_OK);
        return;
    }
    win::OpenWithShell(nullptr, "open", FindBugReporter().c_str(), SetUpArguments(productName, webAddress).c_str(),
                       nullptr, SW_SHOWNORMAL);
}

}  // namespace faults
