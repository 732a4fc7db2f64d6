// A text built in storage its owner provides, for code that must not allocate (the crash report):
// appending never allocates, and whatever does not fit is cut off.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace text {

class FixedText {
public:
    // The storage holds `capacity` characters, the terminating NUL among them.
    FixedText(char* storage, std::size_t capacity);
    template <std::size_t N>
    explicit FixedText(char (&storage)[N]) : FixedText(storage, N)
    {
    }
    FixedText(const FixedText&) = delete;
    FixedText& operator=(const FixedText&) = delete;

    FixedText& Append(std::string_view text);
    FixedText& AppendDecimal(std::uint64_t value);
    FixedText& AppendSigned(std::int64_t value);
    // Copies a C text (none counts as empty) into storage of `capacity` characters, cut to fit.
    static void Copy(char* storage, std::size_t capacity, const char* from);
    // At least `digits` hexadecimal digits, upper or lower case, no prefix.
    FixedText& AppendHex(std::uint64_t value, int digits, bool upperCase);

    std::string_view View() const { return {data_, size_}; }
    const char* CStr() const { return data_; }
    std::size_t Size() const { return size_; }
    bool Truncated() const { return truncated_; }
    void Clear();

private:
    char* data_;
    std::size_t capacity_;
    std::size_t size_ = 0;
    bool truncated_ = false;
};

}  // namespace text
