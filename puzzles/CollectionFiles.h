// Reading collection files and writing puzzle files on Windows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/IoError.h"
#include "core/Collections.h"

namespace puzzles {

// One entry per whole record, in file order; a file that cannot be opened or read lists what was
// read before the failure, or nothing, and reports nothing.
std::vector<CollectionEntry> ListCollection(const std::string& path, std::size_t recordSize);
// These throw io::IoError, a short read included.
CrosswordRecord ReadCrosswordRecord(const std::string& path, std::uint32_t index);
WordSearchRecord ReadWordSearchRecord(const std::string& path, std::uint32_t index);

// These throw io::IoError; on failure the target keeps its old content or stays absent.
void WriteCrosswordFile(const std::string& path, const CrosswordPuzzle& puzzle);
void WriteWordSearchFile(const std::string& path, const WordSearchPuzzle& puzzle);

}  // namespace puzzles
