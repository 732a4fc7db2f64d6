#include "puzzles/CollectionFiles.h"

#include "win/Files.h"

namespace puzzles {
namespace {

std::vector<std::uint8_t> ReadRecord(const std::string& path, std::uint32_t index, std::size_t recordSize)
{
    std::vector<std::uint8_t> bytes(recordSize);
    win::File file = win::File::OpenShared(path);
    file.ReadAt(static_cast<std::uint64_t>(index) * recordSize, bytes.data(), static_cast<DWORD>(recordSize));
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    win::WriteFileReplacing(path, bytes.data(), static_cast<DWORD>(bytes.size()));
}

}  // namespace

std::vector<CollectionEntry> ListCollection(const std::string& path, std::size_t recordSize)
{
    std::vector<CollectionEntry> entries;
    try {
        win::File file = win::File::OpenShared(path);
        const std::uint64_t count = file.Size() / recordSize;
        std::uint8_t head[layout::kListedBytes];
        for (std::uint64_t i = 0; i < count; ++i) {
            file.ReadAt(i * recordSize, head, sizeof(head));
            entries.push_back({DisplayText(head), static_cast<std::uint32_t>(i)});
        }
    } catch (const io::IoError&) {
        // The listing keeps what it read before the failure.
    }
    return entries;
}

CrosswordRecord ReadCrosswordRecord(const std::string& path, std::uint32_t index)
{
    return {ReadRecord(path, index, layout::kCrosswordRecordSize)};
}

WordSearchRecord ReadWordSearchRecord(const std::string& path, std::uint32_t index)
{
    return {ReadRecord(path, index, layout::kWordSearchRecordSize)};
}

void WriteCrosswordFile(const std::string& path, const CrosswordPuzzle& puzzle)
{
    WriteBytes(path, CrosswordFileBytes(puzzle));
}

void WriteWordSearchFile(const std::string& path, const WordSearchPuzzle& puzzle)
{
    WriteBytes(path, WordSearchFileBytes(puzzle));
}

}  // namespace puzzles
