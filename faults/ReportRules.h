// The crash report's text, the release names and the bug reporter's arguments: rules that need no
// window.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faults {

enum class PlatformFamily { Windows9x, WindowsNT, Other };

std::string OsName(PlatformFamily family, unsigned major, unsigned minor);
// "Windows 5.01.2600 Service Pack 2": "%d.%.2d.%.4d %s".
std::string OsVersionText(unsigned major, unsigned minor, unsigned build, const std::string& servicePack);
// The file version, followed by " [flags]" when there are flags.
std::string ProductVersionText(const std::string& fileVersion, const std::string& flags);
std::string ErrorReportName(const std::string& programFileName);
// "0x" and eight upper-case hexadecimal digits.
std::string AddressText(std::uintptr_t address);

// What the report says of the program and the failure, in the order of its lines.
struct ReportFacts {
    std::string programPath;
    std::vector<std::string> parameters;
    std::string dateTime;
    std::string productVersion, osVersion, osName;
    std::uint64_t totalMemoryKB = 0, startMemoryKB = 0, nowMemoryKB = 0;
    std::string className, message;
    std::uintptr_t address = 0;
    std::vector<std::string> callStack;
};
// The report's text: its lines in order, each ended by CR LF.
std::string ReportText(const ReportFacts& facts);

// What is known of a code address from the symbol table.
struct SymbolInfo {
    std::string unit;       // the source file's name without its extension, where known
    std::string procedure;  // the function, where known
    std::uint32_t procedureOffset = 0;
    std::optional<std::uint32_t> line;
    std::string sourceFile;
    std::optional<std::uint32_t> procedureFirstLine;
    std::int64_t lineOffset = 0;  // the address's distance from the start of its line's code
};
// One call-stack line in the first of the four forms that the known facts allow.
std::string StackLine(std::uintptr_t address, const std::optional<SymbolInfo>& symbol);

// The bug reporter's two argument forms: after a crash, and for its set-up.
std::string CrashArguments(const std::string& programPath, const std::string& keyPath, const std::string& reportPath);
std::string SetUpArguments(const std::string& productName, const std::string& webAddress);

}  // namespace faults
