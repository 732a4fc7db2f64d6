// The crash report: a plain-text account of an unhandled failure, handed to the maker's separate
// bug-reporting program, after which the program ends at once.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "win/ExceptionHook.h"

namespace faults {

// The values gathered once at program start.
struct StartUpValues {
    std::string ProgramPath;  // the program file's expanded full path
    std::string ReportFolder;
    std::string ErrorReportPath;
    std::string ProductVersionText;
    std::string OsVersionText;
    std::string OsName;
    std::uint64_t TotalMemoryKB = 0;
    std::uint64_t StartMemoryKB = 0;
    std::string BugReporterFolder;
};

// Gathers the start-up values and makes the crash report the end of every unhandled failure:
// the exception hook, and structured exceptions (an access violation) in the program's own code.
// Whatever thread fails, that thread writes the report and starts the bug reporter, with nothing
// that needs another thread or COM; the first failure of a run is reported, once. endModules,
// when given, runs on the UI thread just before the process ends after a report.
void InitializeFatalError(void (*endModules)() = nullptr);
// The start-up values alone (InitializeFatalError gathers them too), and the address table beside
// the program mapped for the report's call stack.
void GatherStartUpValues();
const StartUpValues& Values();

// Never fails: whatever happens while reporting, the report is written as far as it can be, the
// bug reporter is started once, and the program ends with a non-zero exit code.
[[noreturn]] void ReportFatalError(const win::CaughtException& caught, const std::string& programPath);
// Writes the report file, line by line; failures stop the writing where they happen. Allocates
// nothing: it works in room reserved with the program.
void WriteErrorReport(const win::CaughtException& caught);
std::string FindBugReporter();
// Starts the bug reporter for its set-up; when it is not installed, a message owned by owner says
// so and names the folders where it was looked for.
void ConfigureBugReporter(const std::string& productName, const std::string& webAddress, HWND owner = nullptr);

// The folder that would receive a report, given the program's folder: it, else the documents
// folder, else "c:\", whichever first takes a new file.
std::string ChooseReportFolder(const std::string& programFolder, const std::string& documentsFolder);

// What tests replace in the report: the clock its date comes from, and a step run while it is
// written, after its first call-stack line. Process-wide, as the report is; empty ones are unused.
struct ReportSeams {
    SYSTEMTIME (*clock)() = nullptr;
    void (*step)() = nullptr;
};
void SetReportSeams(const ReportSeams& seams);

}  // namespace faults
