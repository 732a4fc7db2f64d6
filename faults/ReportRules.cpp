#include "faults/ReportRules.h"

#include <cstdio>

namespace faults {
namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Hex8(std::uintptr_t address)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%08llX", static_cast<unsigned long long>(address));
    return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string OsName(PlatformFamily family, unsigned major, unsigned minor)
{
    switch (family) {
        case PlatformFamily::Windows9x:
            return minor == 0 ? "Windows 95" : minor < 90 ? "Windows 98" : "Windows ME";
        case PlatformFamily::WindowsNT:
            if (major == 4)
                return "Windows NT";
            if (major == 5 && minor == 0)
                return "Windows 2000";
            if (major == 5 && minor == 1)
                return "Windows XP";
            return "Windows Server 2003";
        default:
            return "Windows 95";
    }
}

std::string OsVersionText(unsigned major, unsigned minor, unsigned build, const std::string& servicePack)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%u.%.2u.%.4u ", major, minor, build);
    return "Windows " + std::string(text) + servicePack;
}

std::string ProductVersionText(const std::string& fileVersion, const std::string& flags)
{
    return flags.empty() ? fileVersion : fileVersion + " [" + flags + "]";
}

std::string ErrorReportName(const std::string& programFileName) { return "Error - " + programFileName + ".txt"; }

std::string AddressText(std::uintptr_t address) { return "0x" + Hex8(address); }

std::string ReportText(const ReportFacts& facts)
{
    std::string parameters;
    for (const auto& parameter : facts.parameters)
        parameters += parameter + " ";
    const std::string lines[] = {facts.programPath,
                                 parameters,
                                 facts.dateTime,
                                 facts.productVersion,
                                 facts.osVersion,
                                 facts.osName,
                                 std::to_string(facts.totalMemoryKB),
                                 std::to_string(facts.startMemoryKB),
                                 std::to_string(facts.nowMemoryKB),
                                 "",
                                 facts.className,
                                 facts.message,
                                 AddressText(facts.address),
                                 ""};
    std::string text;
    for (const auto& line : lines)
        text += line + kLineEnd;
    for (const auto& line : facts.callStack)
        text += line + kLineEnd;
    return text;
}

std::string StackLine(std::uintptr_t address, const std::optional<SymbolInfo>& symbol)
{
    const std::string head = "[" + Hex8(address) + "]";
    if (!symbol || symbol->procedure.empty())
        return head;
    char offset[32];
    if (symbol->line) {
        std::string line = head + " " + symbol->unit + "." + symbol->procedure + " (Line " +
                           std::to_string(*symbol->line) + ", \"" + symbol->sourceFile + "\"";
        if (symbol->procedureFirstLine)
            line += " + " + std::to_string(static_cast<long long>(*symbol->line) - *symbol->procedureFirstLine);
        std::snprintf(
            offset, sizeof(offset), symbol->lineOffset < 0 ? " - $%llx" : " + $%llx",
            static_cast<unsigned long long>(symbol->lineOffset < 0 ? -symbol->lineOffset : symbol->lineOffset));
        return line + ")" + offset;
    }
    std::snprintf(offset, sizeof(offset), " + $%x", symbol->procedureOffset);
    if (!symbol->unit.empty())
        return head + " " + symbol->unit + "." + symbol->procedure + offset;
    return head + " " + symbol->procedure + offset;
}

std::string CrashArguments(const std::string& programPath, const std::string& keyPath, const std::string& reportPath)
{
    return Quoted(programPath) + " " + Quoted(keyPath) + " " + Quoted(reportPath);
}

std::string SetUpArguments(const std::string& productName, const std::string& webAddress)
{
    return Quoted(productName) + " " + Quoted(webAddress);
}

}  // namespace faults
