#include "core/FixedText.h"

#include <cstring>

namespace text {

FixedText::FixedText(char* storage, std::size_t capacity) : data_(storage), capacity_(capacity)
{
    if (capacity_ > 0)
        data_[0] = '\0';
}

FixedText& FixedText::Append(std::string_view text)
{
    const std::size_t room = capacity_ > size_ ? capacity_ - size_ - 1 : 0;
    const std::size_t taken = text.size() < room ? text.size() : room;
    if (taken < text.size())
        truncated_ = true;
    if (taken > 0)
        std::memcpy(data_ + size_, text.data(), taken);
    size_ += taken;
    if (capacity_ > 0)
        data_[size_] = '\0';
    return *this;
}

void FixedText::Copy(char* storage, std::size_t capacity, const char* from)
{
    FixedText(storage, capacity).Append(from != nullptr ? from : "");
}

FixedText& FixedText::AppendDecimal(std::uint64_t value)
{
    char digits[24];
    std::size_t at = sizeof(digits);
    do {
        digits[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return Append({digits + at, sizeof(digits) - at});
}

FixedText& FixedText::AppendSigned(std::int64_t value)
{
    if (value < 0) {
        Append("-");
        return AppendDecimal(0 - static_cast<std::uint64_t>(value));
    }
    return AppendDecimal(static_cast<std::uint64_t>(value));
}

FixedText& FixedText::AppendHex(std::uint64_t value, int digits, bool upperCase)
{
    const char* alphabet = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    char text[16];
    std::size_t at = sizeof(text);
    do {
        text[--at] = alphabet[value & 0xF];
        value >>= 4;
        --digits;
    } while (value != 0 || (digits > 0 && at > 0));
    return Append({text + at, sizeof(text) - at});
}

void FixedText::Clear()
{
    size_ = 0;
    truncated_ = false;
    if (capacity_ > 0)
        data_[0] = '\0';
}

}  // namespace text
