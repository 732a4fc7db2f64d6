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
void InitializeFatalError();
// The start-up values alone (InitializeFatalError gathers them too).
void GatherStartUpValues();
const StartUpValues& Values();

[[noreturn]] void ReportFatalError(const win::CaughtException& caught, const std::string& programPath);
// Writes the report file; failures stop the writing where they happen and are otherwise ignored.
void WriteErrorReport(const win::CaughtException& caught);
std::string FindBugReporter();
void ConfigureBugReporter(const std::string& productName, const std::string& webAddress);

// The folder that would receive a report, given the program's folder: it, else the documents
// folder, else "c:\", whichever first takes a new file.
std::string ChooseReportFolder(const std::string& programFolder, const std::string& documentsFolder);

// Test seam: the clock the report's date comes from.
extern std::function<SYSTEMTIME()> ClockForTests;

}  // namespace faults
