// The crash report's text, the release names and the bug reporter's arguments: rules that need no
// window. The report's own lines are appended to a fixed text, because the report is written when
// the heap may be damaged.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/FixedText.h"

namespace faults {

enum class PlatformFamily { Windows9x, WindowsNT, Other };

// The release's name from its real version: build tells Windows 11 from 10, and server (a product
// type other than workstation) the server editions from the desktop ones.
std::string OsName(PlatformFamily family, unsigned major, unsigned minor, unsigned build = 0, bool server = false);
// "Windows 5.01.2600 Service Pack 2": "%d.%.2d.%.4d %s".
std::string OsVersionText(unsigned major, unsigned minor, unsigned build, const std::string& servicePack);
// The file version, followed by " [flags]" when there are flags.
std::string ProductVersionText(const std::string& fileVersion, const std::string& flags);
std::string ErrorReportName(const std::string& programFileName);
// "0x" and eight upper-case hexadecimal digits.
std::string AddressText(std::uintptr_t address);
text::FixedText& AppendAddress(text::FixedText& out, std::uintptr_t address);

// What the report says of the program and the failure, in the order of its lines.
struct ReportFacts {
    std::string_view programPath;
    std::span<const char* const> parameters;
    std::string_view dateTime;
    std::string_view productVersion, osVersion, osName;
    std::uint64_t totalMemoryKB = 0, startMemoryKB = 0, nowMemoryKB = 0;
    std::string_view className, message;
    std::uintptr_t address = 0;
};
// The report's lines before the call stack, each ended by CR LF.
void AppendReportHead(text::FixedText& out, const ReportFacts& facts);

// What is known of a code address from the symbol table.
struct SymbolInfo {
    std::string_view unit;       // the source file's name without its extension, where known
    std::string_view procedure;  // the function, where known
    std::uint32_t procedureOffset = 0;
    std::optional<std::uint32_t> line;
    std::string_view sourceFile;
    std::optional<std::uint32_t> procedureFirstLine;
    std::int64_t lineOffset = 0;  // the address's distance from the start of its line's code
};
// One call-stack line, ended by CR LF, in the first of the four forms that the known facts allow.
void AppendStackLine(text::FixedText& out, std::uintptr_t address, const std::optional<SymbolInfo>& symbol);
// The line that closes a call stack whose walk stopped before the stack's end.
void AppendStackCut(text::FixedText& out, std::size_t frames, std::uintptr_t stoppedAt);

// The message of a structured exception: "Access violation (code 0xC0000005) at address 0x00401A2B".
void AppendStructuredMessage(text::FixedText& out, std::string_view name, std::uint32_t code, std::uintptr_t address);

// The bug reporter's two argument forms: after a crash, and for its set-up.
void AppendCrashArguments(text::FixedText& out, std::string_view programPath, std::string_view keyPath,
                          std::string_view reportPath);
std::string SetUpArguments(const std::string& productName, const std::string& webAddress);
// What Configure Bug Reporter says when Relaybug.Exe is in neither folder it is looked for in.
std::string BugReporterMissingMessage(const std::string& commonFolder, const std::string& programFolder);

}  // namespace faults
