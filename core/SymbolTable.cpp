#include "core/SymbolTable.h"

#include <cstring>

namespace faults {
namespace {

std::uint32_t ReadWord(const std::byte* at)
{
    const auto* b = reinterpret_cast<const unsigned char*>(at);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::string_view UnitOf(std::string_view file)
{
    const auto dot = file.find_last_of('.');
    return dot == std::string_view::npos ? file : file.substr(0, dot);
}

// The index of the last of `count` entries whose key is at most `key`, if any.
template <typename KeyAt>
std::optional<std::size_t> LastAtMost(std::size_t count, std::uint64_t key, KeyAt keyAt)
{
    std::size_t low = 0, high = count;  // the answer lies below `high`
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (keyAt(middle) <= key)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return std::nullopt;
    return low - 1;
}

}  // namespace

SymbolTable::SymbolTable(std::span<const std::byte> bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0)
        return;
    const std::byte* head = bytes.data() + kMagic.size();
    const std::uint64_t functions = ReadWord(head), lines = ReadWord(head + 4), files = ReadWord(head + 8),
                        names = ReadWord(head + 12);
    const std::uint64_t total = kHeaderSize + functions * kFunctionSize + lines * kLineSize + files * kFileSize + names;
    if (total != bytes.size() || (names > 0 && bytes[bytes.size() - 1] != std::byte{0}))
        return;
    functions_ = bytes.data() + kHeaderSize;
    lines_ = functions_ + functions * kFunctionSize;
    files_ = lines_ + lines * kLineSize;
    names_ = reinterpret_cast<const char*>(files_ + files * kFileSize);
    functionCount_ = static_cast<std::size_t>(functions);
    lineCount_ = static_cast<std::size_t>(lines);
    fileCount_ = static_cast<std::size_t>(files);
    namesSize_ = static_cast<std::size_t>(names);
}

std::uint32_t SymbolTable::FunctionRva(std::size_t i) const { return ReadWord(functions_ + i * kFunctionSize); }

std::uint32_t SymbolTable::LineRva(std::size_t i) const { return ReadWord(lines_ + i * kLineSize); }

// A name of the table: empty when its offset lies outside; every name ends at the last NUL.
std::string_view SymbolTable::Name(std::uint32_t offset) const
{
    if (offset >= namesSize_)
        return {};
    return {names_ + offset, std::strlen(names_ + offset)};
}

// The line whose code holds the address, when it begins inside the same function.
std::optional<std::size_t> SymbolTable::LineAt(std::uint64_t rva, std::uint64_t notBefore) const
{
    auto line = LastAtMost(lineCount_, rva, [this](std::size_t i) { return LineRva(i); });
    if (!line || LineRva(*line) < notBefore)
        return std::nullopt;
    return line;
}

std::optional<SymbolInfo> SymbolTable::Lookup(std::uint64_t rva) const
{
    const auto function = LastAtMost(functionCount_, rva, [this](std::size_t i) { return FunctionRva(i); });
    if (!function)
        return std::nullopt;
    const std::uint32_t start = FunctionRva(*function);
    SymbolInfo info;
    info.procedure = Name(ReadWord(functions_ + *function * kFunctionSize + 4));
    info.procedureOffset = static_cast<std::uint32_t>(rva - start);
    const auto line = LineAt(rva, start);
    if (!line)
        return info;
    const std::byte* row = lines_ + *line * kLineSize;
    const std::uint32_t file = ReadWord(row + 8);
    if (file >= fileCount_)
        return info;
    info.line = ReadWord(row + 4);
    info.sourceFile = Name(ReadWord(files_ + file * kFileSize));
    info.unit = UnitOf(info.sourceFile);
    info.lineOffset = static_cast<std::int64_t>(rva - LineRva(*line));
    if (const auto first = LineAt(start, start))
        info.procedureFirstLine = ReadWord(lines_ + *first * kLineSize + 4);
    return info;
}

}  // namespace faults
