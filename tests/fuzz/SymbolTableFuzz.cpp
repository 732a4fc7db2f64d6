// Fuzz target: the crash report's address table, read in place from whatever lies beside the
// program. Any bytes give a table whose look-ups stay inside them. Besides the bytes as they come,
// the target reads them behind a head whose counts add up, so that look-ups reach the rows.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "core/SymbolTable.h"

namespace {

void LookUpSome(std::span<const std::byte> bytes)
{
    const faults::SymbolTable table(bytes);
    for (std::uint64_t rva : {0ull, 1ull, 0x1000ull, 0x10000ull, 0x7fffffffull, 0xffffffffull, 0x100000000ull}) {
        if (const auto info = table.Lookup(rva)) {
            char line[512];
            text::FixedText out(line);
            faults::AppendStackLine(out, rva, info);
        }
    }
}

void PutWord(std::vector<std::byte>& out, std::size_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::byte>(value >> (8 * i)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const std::byte*>(data);
    LookUpSome({bytes, size});
    if (size < 3)
        return 0;
    using faults::SymbolTable;
    const std::size_t rows = size - 3;
    const std::size_t functions = data[0] % (rows / SymbolTable::kFunctionSize + 1);
    const std::size_t left = rows - functions * SymbolTable::kFunctionSize;
    const std::size_t lines = data[1] % (left / SymbolTable::kLineSize + 1);
    const std::size_t rest = left - lines * SymbolTable::kLineSize;
    const std::size_t files = data[2] % (rest / SymbolTable::kFileSize + 1);
    std::vector<std::byte> table(SymbolTable::kMagic.size());
    std::memcpy(table.data(), SymbolTable::kMagic.data(), SymbolTable::kMagic.size());
    for (std::size_t count : {functions, lines, files, rest - files * SymbolTable::kFileSize})
        PutWord(table, count);
    table.insert(table.end(), bytes + 3, bytes + size);
    LookUpSome(table);
    return 0;
}
