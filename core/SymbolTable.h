// The program's address table, made at build time from its debug information: which function
// and which source line an address (relative to the image base) belongs to.
//
// The table is read where it lies (a view of the file mapped at start-up), never parsed or copied:
// the crash report looks addresses up while the heap may be damaged. Layout, little-endian:
//   "GLSYMTB2", then four 32-bit counts: functions, lines, files, bytes of names;
//   functions: {rva, name offset} sorted by rva;
//   lines:     {rva, line number, file index} sorted by rva;
//   files:     {name offset};
//   names:     NUL-terminated texts, the last byte NUL.
// Any other content, or sizes that do not add up to the bytes given, make an empty table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/ReportRules.h"

namespace faults {

class SymbolTable {
public:
    static constexpr std::string_view kMagic = "GLSYMTB2";
    static constexpr std::size_t kHeaderSize = 8 + 4 * 4;
    static constexpr std::size_t kFunctionSize = 8, kLineSize = 12, kFileSize = 4;

    SymbolTable() = default;
    explicit SymbolTable(std::span<const std::byte> bytes);
    bool Empty() const { return functionCount_ == 0; }
    // The names in the answer point into the table's bytes.
    std::optional<SymbolInfo> Lookup(std::uint64_t rva) const;

private:
    std::uint32_t FunctionRva(std::size_t i) const;
    std::uint32_t LineRva(std::size_t i) const;
    std::optional<std::size_t> LineAt(std::uint64_t rva, std::uint64_t notBefore) const;
    std::string_view Name(std::uint32_t offset) const;

    const std::byte* functions_ = nullptr;
    const std::byte* lines_ = nullptr;
    const std::byte* files_ = nullptr;
    const char* names_ = nullptr;
    std::size_t functionCount_ = 0, lineCount_ = 0, fileCount_ = 0, namesSize_ = 0;
};

}  // namespace faults
