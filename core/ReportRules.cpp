#include "core/ReportRules.h"

#include <cstdio>

namespace faults {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

text::FixedText& AppendHex8(text::FixedText& out, std::uintptr_t address) { return out.AppendHex(address, 8, true); }

text::FixedText& AppendQuoted(text::FixedText& out, std::string_view text)
{
    return out.Append("\"").Append(text).Append("\"");
}

}  // namespace

namespace {

// Releases of NT 6.0 and later, by version: the desktop name and the server edition's.
std::string ModernNtName(unsigned major, unsigned minor, unsigned build, bool server)
{
    if (major == 6) {
        switch (minor) {
            case 0:
                return server ? "Windows Server 2008" : "Windows Vista";
            case 1:
                return server ? "Windows Server 2008 R2" : "Windows 7";
            case 2:
                return server ? "Windows Server 2012" : "Windows 8";
            case 3:
                return server ? "Windows Server 2012 R2" : "Windows 8.1";
            default:
                break;
        }
    }
    if (major == 10 && minor == 0) {
        if (!server)
            return build >= 22000 ? "Windows 11" : "Windows 10";
        return build >= 26100   ? "Windows Server 2025"
               : build >= 20348 ? "Windows Server 2022"
               : build >= 17763 ? "Windows Server 2019"
                                : "Windows Server 2016";
    }
    // A release newer than any named here is named by its version, never by an older name.
    return "Windows NT " + std::to_string(major) + "." + std::to_string(minor);
}

}  // namespace

std::string OsName(PlatformFamily family, unsigned major, unsigned minor, unsigned build, bool server)
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
            if (major >= 6)
                return ModernNtName(major, minor, build, server);
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

text::FixedText& AppendAddress(text::FixedText& out, std::uintptr_t address)
{
    return AppendHex8(out.Append("0x"), address);
}

std::string AddressText(std::uintptr_t address)
{
    char storage[32];
    text::FixedText out(storage);
    return std::string(AppendAddress(out, address).View());
}

void AppendReportHead(text::FixedText& out, const ReportFacts& facts)
{
    out.Append(facts.programPath).Append(kLineEnd);
    for (const char* parameter : facts.parameters)
        out.Append(parameter != nullptr ? parameter : "").Append(" ");
    out.Append(kLineEnd);
    out.Append(facts.dateTime).Append(kLineEnd);
    out.Append(facts.productVersion).Append(kLineEnd);
    out.Append(facts.osVersion).Append(kLineEnd);
    out.Append(facts.osName).Append(kLineEnd);
    out.AppendDecimal(facts.totalMemoryKB).Append(kLineEnd);
    out.AppendDecimal(facts.startMemoryKB).Append(kLineEnd);
    out.AppendDecimal(facts.nowMemoryKB).Append(kLineEnd);
    out.Append(kLineEnd);
    out.Append(facts.className).Append(kLineEnd);
    out.Append(facts.message).Append(kLineEnd);
    AppendAddress(out, facts.address).Append(kLineEnd);
    out.Append(kLineEnd);
}

void AppendStackLine(text::FixedText& out, std::uintptr_t address, const std::optional<SymbolInfo>& symbol)
{
    AppendHex8(out.Append("["), address).Append("]");
    if (!symbol || symbol->procedure.empty()) {
        out.Append(kLineEnd);
        return;
    }
    out.Append(" ");
    if (!symbol->unit.empty())
        out.Append(symbol->unit).Append(".");
    out.Append(symbol->procedure);
    if (symbol->line) {
        out.Append(" (Line ").AppendDecimal(*symbol->line).Append(", ");
        AppendQuoted(out, symbol->sourceFile);
        if (symbol->procedureFirstLine)
            out.Append(" + ").AppendSigned(static_cast<std::int64_t>(*symbol->line) - *symbol->procedureFirstLine);
        const std::int64_t offset = symbol->lineOffset;
        out.Append(offset < 0 ? ") - $" : ") + $");
        out.AppendHex(offset < 0 ? 0 - static_cast<std::uint64_t>(offset) : static_cast<std::uint64_t>(offset), 1,
                      false);
    } else {
        out.Append(" + $").AppendHex(symbol->procedureOffset, 1, false);
    }
    out.Append(kLineEnd);
}

void AppendStackCut(text::FixedText& out, std::size_t frames, std::uintptr_t stoppedAt)
{
    out.Append("(the call stack goes on: its walk stopped after ").AppendDecimal(frames);
    AppendAddress(out.Append(" frames, at stack address "), stoppedAt).Append(")").Append(kLineEnd);
}

void AppendStructuredMessage(text::FixedText& out, std::string_view name, std::uint32_t code, std::uintptr_t address)
{
    AppendAddress(out.Append(name).Append(" (code "), code).Append(") at address ");
    AppendAddress(out, address);
}

void AppendCrashArguments(text::FixedText& out, std::string_view programPath, std::string_view keyPath,
                          std::string_view reportPath)
{
    AppendQuoted(out, programPath).Append(" ");
    AppendQuoted(out, keyPath).Append(" ");
    AppendQuoted(out, reportPath);
}

std::string SetUpArguments(const std::string& productName, const std::string& webAddress)
{
    return "\"" + productName + "\" \"" + webAddress + "\"";
}

std::string BugReporterMissingMessage(const std::string& commonFolder, const std::string& programFolder)
{
    return "The bug reporter, Relaybug, is not installed, so there is nothing to configure.\r\n\r\n"
           "Relaybug.Exe was looked for in these folders:\r\n" +
           commonFolder + "\r\n" + programFolder;
}

}  // namespace faults
