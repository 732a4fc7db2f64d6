// Builds collection records byte by byte at the layout's offsets.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Collections.h"

class RecordBuilder {
public:
    explicit RecordBuilder(std::size_t size) : bytes_(size, 0) {}

    // A short text; the length byte is the text's length unless given.
    RecordBuilder& Text(std::size_t offset, const std::string& text, int lengthByte = -1)
    {
        bytes_[offset] = static_cast<std::uint8_t>(lengthByte < 0 ? text.size() : lengthByte);
        for (std::size_t i = 0; i < text.size(); ++i)
            bytes_[offset + 1 + i] = static_cast<std::uint8_t>(text[i]);
        return *this;
    }
    RecordBuilder& Int16(std::size_t offset, std::int16_t value)
    {
        bytes_[offset] = static_cast<std::uint8_t>(value & 0xFF);
        bytes_[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
        return *this;
    }
    RecordBuilder& Byte(std::size_t offset, std::uint8_t value)
    {
        bytes_[offset] = value;
        return *this;
    }
    RecordBuilder& Fill(std::size_t offset, std::size_t count, std::uint8_t value)
    {
        for (std::size_t i = 0; i < count; ++i)
            bytes_[offset + i] = value;
        return *this;
    }
    RecordBuilder& Head(const std::string& label, const std::string& title)
    {
        return Text(puzzles::layout::kLabel, label).Text(puzzles::layout::kTitle, title);
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    puzzles::CrosswordRecord Crossword() const { return {bytes_}; }
    puzzles::WordSearchRecord WordSearch() const { return {bytes_}; }

    static RecordBuilder ForCrossword() { return RecordBuilder(puzzles::layout::kCrosswordRecordSize); }
    static RecordBuilder ForWordSearch() { return RecordBuilder(puzzles::layout::kWordSearchRecordSize); }

private:
    std::vector<std::uint8_t> bytes_;
};
