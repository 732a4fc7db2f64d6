#include "faults/SymbolTable.h"

#include <algorithm>
#include <sstream>

namespace faults {
namespace {

constexpr const char* kHeader = "GRIDLARK-SYMBOLS 1";

std::string UnitOf(const std::string& file)
{
    const auto dot = file.find_last_of('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

}  // namespace

SymbolTable SymbolTable::Parse(const std::string& text)
{
    SymbolTable table;
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line.rfind(kHeader, 0) != 0)
        return table;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        char kind = 0;
        row >> kind;
        if (kind == 'S') {
            std::size_t index = 0;
            std::string name;
            row >> index >> name;
            if (index == table.files_.size())
                table.files_.push_back(name);
        } else if (kind == 'F') {
            Function f{};
            row >> std::hex >> f.rva;
            row.get();
            std::getline(row, f.name);
            table.functions_.push_back(std::move(f));
        } else if (kind == 'L') {
            Line l{};
            row >> std::hex >> l.rva >> std::dec >> l.line >> l.file;
            if (l.file < table.files_.size())
                table.lines_.push_back(l);
        }
    }
    auto byRva = [](const auto& a, const auto& b) { return a.rva < b.rva; };
    std::sort(table.functions_.begin(), table.functions_.end(), byRva);
    std::sort(table.lines_.begin(), table.lines_.end(), byRva);
    return table;
}

// The line whose code holds the address, when it begins inside the same function.
const SymbolTable::Line* SymbolTable::LineAt(std::uint64_t rva, std::uint64_t notBefore) const
{
    auto next =
        std::upper_bound(lines_.begin(), lines_.end(), rva, [](std::uint64_t x, const Line& l) { return x < l.rva; });
    if (next == lines_.begin())
        return nullptr;
    const Line& line = *(next - 1);
    return line.rva >= notBefore ? &line : nullptr;
}

std::optional<SymbolInfo> SymbolTable::Lookup(std::uint64_t rva) const
{
    auto next = std::upper_bound(functions_.begin(), functions_.end(), rva,
                                 [](std::uint64_t x, const Function& f) { return x < f.rva; });
    if (next == functions_.begin())
        return std::nullopt;
    const Function& function = *(next - 1);
    SymbolInfo info;
    info.procedure = function.name;
    info.procedureOffset = static_cast<std::uint32_t>(rva - function.rva);
    if (const Line* line = LineAt(rva, function.rva)) {
        info.line = line->line;
        info.sourceFile = files_[line->file];
        info.unit = UnitOf(info.sourceFile);
        info.lineOffset = static_cast<std::int64_t>(rva - line->rva);
        if (const Line* first = LineAt(function.rva, function.rva))
            info.procedureFirstLine = first->line;
    }
    return info;
}

}  // namespace faults
