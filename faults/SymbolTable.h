// The program's address table, made at build time from its debug information: which function
// and which source line an address (relative to the image base) belongs to.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "faults/ReportRules.h"

namespace faults {

class SymbolTable {
public:
    // Reads the table's text; a text of another kind gives an empty table.
    static SymbolTable Parse(const std::string& text);
    bool Empty() const { return functions_.empty(); }
    std::optional<SymbolInfo> Lookup(std::uint64_t rva) const;

private:
    struct Function {
        std::uint64_t rva;
        std::string name;
    };
    struct Line {
        std::uint64_t rva;
        std::uint32_t line;
        std::uint32_t file;
    };
    const Line* LineAt(std::uint64_t rva, std::uint64_t notBefore) const;

    std::vector<std::string> files_;
    std::vector<Function> functions_;
    std::vector<Line> lines_;
};

}  // namespace faults
