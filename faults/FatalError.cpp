#include "faults/FatalError.h"

#include <shlobj.h>

#include "app/Modules.h"
#include "app/VersionInfo.h"
#include "core/Text.h"
#include "faults/ReportRules.h"
#include "faults/SymbolTable.h"
#include "settings/Configs.h"
#include "win/Files.h"
#include "win/LazyApi.h"
#include "win/Paths.h"
#include "win/Registry.h"

namespace faults {

std::function<SYSTEMTIME()> ClockForTests;

namespace {

constexpr const char* kProbeName = "~gridlark-write-probe-7q3x.tmp";
constexpr const char* kFallbackDocuments = "C:\\My Documents\\";
constexpr const char* kLastResortFolder = "c:\\";
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kFallbackCommonFiles = "c:\\program files\\common files\\";
constexpr const char* kMakerFolder = "Orvanel\\";
constexpr const char* kBugReporter = "Relaybug.Exe";
constexpr const char* kSymbolTableExtension = ".sym";
constexpr UINT kCrashExitCode = 1;

StartUpValues values;

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

void QueryPlatform()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(&version);
#pragma GCC diagnostic pop
    const PlatformFamily family = version.dwPlatformId == VER_PLATFORM_WIN32_NT        ? PlatformFamily::WindowsNT
                                  : version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? PlatformFamily::Windows9x
                                                                                       : PlatformFamily::Other;
    values.OsVersionText =
        OsVersionText(version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber, version.szCSDVersion);
    values.OsName = OsName(family, version.dwMajorVersion, version.dwMinorVersion);
}

std::string CommonFilesFolder()
{
    win::RegistryAccessor reader(HKEY_LOCAL_MACHINE);
    if (reader.OpenKeyReadOnly(kCurrentVersionKey))
        if (auto folder = reader.ReadString("CommonFilesDir"); folder && !folder->empty())
            return text::IncludeTrailingBackslash(*folder);
    return kFallbackCommonFiles;
}

// "c" format: the short date and the long time of the user's locale; the date alone at midnight.
std::string DateTimeNow()
{
    SYSTEMTIME now{};
    if (ClockForTests)
        now = ClockForTests();
    else
        ::GetLocalTime(&now);
    char date[128] = {}, time[128] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof(date));
    if (now.wHour == 0 && now.wMinute == 0 && now.wSecond == 0 && now.wMilliseconds == 0)
        return date;
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof(time));
    return std::string(date) + " " + time;
}

bool InOwnCode(const void* address)
{
    HMODULE module = nullptr;
    return ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                static_cast<LPCSTR>(address), &module) &&
           module == ::GetModuleHandleA(nullptr);
}

// The program's address table lies beside it, named after it: gridlark.sym.
std::string SymbolTablePath()
{
    const std::string program = win::ProgramFileName();
    const std::string extension = text::ExtractFileExt(program);
    return program.substr(0, program.size() - extension.size()) + kSymbolTableExtension;
}

std::vector<std::string> CallStackLines(const win::CaughtException& caught)
{
    std::vector<std::uintptr_t> frames = caught.site.stack;
    if (frames.empty()) {
        const int here = 0;
        frames = win::ScanStack(&here);
    }
    std::string tableText;
    try {
        win::File file = win::File::OpenShared(SymbolTablePath());
        tableText.resize(static_cast<std::size_t>(file.Size()));
        file.ReadAt(0, tableText.data(), static_cast<DWORD>(tableText.size()));
    } catch (const io::IoError&) {
        // Without the table every line is a bare address.
    }
    const SymbolTable table = SymbolTable::Parse(tableText);
    const auto base = reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr));
    std::vector<std::string> lines;
    for (std::uintptr_t frame : frames) {
        std::optional<SymbolInfo> symbol;
        if (InOwnCode(reinterpret_cast<const void*>(frame)))
            symbol = table.Lookup(frame - base);
        lines.push_back(StackLine(frame, symbol));
    }
    return lines;
}

std::vector<std::string> Parameters()
{
    std::vector<std::string> parameters;
    for (int i = 1; i < __argc; ++i)
        parameters.push_back(__argv[i]);
    return parameters;
}

const void* StackPointer(const CONTEXT& context)
{
#ifdef _WIN64
    return reinterpret_cast<const void*>(context.Rsp);
#else
    return reinterpret_cast<const void*>(context.Esp);
#endif
}

// A structured exception as a report: a readable name and message, the faulting address, and the
// stack from the faulting frame outwards.
LONG WINAPI ReportStructured(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    win::CaughtException caught;
    caught.error = std::make_exception_ptr(win::StructuredException(record.ExceptionCode, record.ExceptionAddress));
    caught.site.address = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
    caught.site.stack = win::ScanStack(StackPointer(*pointers->ContextRecord));
    caught.site.stack.insert(caught.site.stack.begin(), caught.site.address);
    ReportFatalError(caught, win::ProgramFileName());
}

// Structured exceptions are no C++ exceptions here: no guard sees them. Those raised in the
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
            if (InOwnCode(record.ExceptionAddress))
                return ReportStructured(pointers);
            return EXCEPTION_CONTINUE_SEARCH;
        default:
            return EXCEPTION_CONTINUE_SEARCH;
    }
}

}  // namespace

std::string ChooseReportFolder(const std::string& programFolder, const std::string& documentsFolder)
{
    for (const std::string& folder : {programFolder, documentsFolder})
        if (!folder.empty() && Writable(folder))
            return text::IncludeTrailingBackslash(folder);
    return kLastResortFolder;
}

void InitializeFatalError()
{
    GatherStartUpValues();
    win::SetExceptionHook([](const win::CaughtException& caught) { ReportFatalError(caught, win::ProgramFileName()); });
    ::AddVectoredExceptionHandler(1, &FirstChance);
    ::SetUnhandledExceptionFilter(&ReportStructured);
}

void GatherStartUpValues()
{
    values.ReportFolder = ChooseReportFolder(win::ProgramFolder(), DocumentsFolder());
    values.ErrorReportPath = values.ReportFolder + ErrorReportName(text::ExtractFileName(win::ProgramFileName()));
    QueryPlatform();
    TVersionInfo version;
    values.ProductVersionText = ProductVersionText(version.FileVersion, version.FlagsText);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatusEx(&status);
    values.TotalMemoryKB = status.ullTotalPhys >> 10;
    values.StartMemoryKB = status.ullAvailPhys >> 10;
    values.BugReporterFolder = CommonFilesFolder() + kMakerFolder;
}

const StartUpValues& Values() { return values; }

void WriteErrorReport(const win::CaughtException& caught)
{
    ReportFacts facts;
    facts.programPath = win::ProgramFileName();
    facts.parameters = Parameters();
    facts.dateTime = DateTimeNow();
    facts.productVersion = values.ProductVersionText;
    facts.osVersion = values.OsVersionText;
    facts.osName = values.OsName;
    facts.totalMemoryKB = values.TotalMemoryKB;
    facts.startMemoryKB = values.StartMemoryKB;
    facts.nowMemoryKB = AvailableMemoryKB();
    facts.className = win::ClassNameOf(caught);
    facts.message = win::MessageOf(caught);
    facts.address = caught.site.address;
    facts.callStack = CallStackLines(caught);
    const std::string text = ReportText(facts);
    HANDLE h = ::CreateFileA(values.ErrorReportPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(h);
}

std::string FindBugReporter()
{
    const std::string common = values.BugReporterFolder + kBugReporter;
    if (win::FileExists(common))
        return common;
    return win::ProgramFolder() + kBugReporter;
}

void ReportFatalError(const win::CaughtException& caught, const std::string& programPath)
{
    WriteErrorReport(caught);
    const std::string arguments = CrashArguments(programPath, ProductKeyPath, values.ErrorReportPath);
    win::OpenWithShell(nullptr, "open", FindBugReporter().c_str(), arguments.c_str(), nullptr, SW_SHOWNORMAL);
    // No window's close handling runs and nothing is saved; the modules still end (the help
    // window closes), and no static destructor runs.
    app::FinalizeModules();
    ::TerminateProcess(::GetCurrentProcess(), kCrashExitCode);
    ::ExitProcess(kCrashExitCode);
}

void ConfigureBugReporter(const std::string& productName, const std::string& webAddress)
{
    win::OpenWithShell(nullptr, "open", FindBugReporter().c_str(), SetUpArguments(productName, webAddress).c_str(),
                       nullptr, SW_SHOWNORMAL);
}

}  // namespace faults
