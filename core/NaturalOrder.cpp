#include "core/NaturalOrder.h"

namespace text {

namespace {

// The run kinds' first bytes: a number comes before text, and a text that ends comes before both.
constexpr char kNumber = '\x01';
constexpr char kText = '\x02';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number's value as bytes: its count of significant digits (two bytes, most significant first),
// then the digits, so that a longer number comes after a shorter one.
void AppendNumber(std::string& key, std::string_view digits)
{
    const std::size_t first = digits.find_first_not_of('0');
    const std::string_view significant = first == std::string_view::npos ? std::string_view{} : digits.substr(first);
    const std::size_t count = significant.size() < 0xFFFF ? significant.size() : 0xFFFF;
    key += kNumber;
    key += static_cast<char>((count >> 8) & 0xFF);
    key += static_cast<char>(count & 0xFF);
    key.append(significant.substr(0, count));
}

// A text run's key, ended by a zero byte so that a run that is a prefix of another comes first.
// A zero byte inside the run's key is written as 0x01 0x01 and a one byte as 0x01 0x02, which keeps
// the bytewise order.
void AppendText(std::string& key, std::string_view run, const RunKey& runKey)
{
    key += kText;
    for (char c : runKey(run)) {
        if (c == '\0' || c == '\x01') {
            key += '\x01';
            key += c == '\0' ? '\x01' : '\x02';
        } else {
            key += c;
        }
    }
    key += '\0';
}

}  // namespace

std::string NaturalSortKey(std::string_view text, const RunKey& runKey)
{
    std::string key;
    std::size_t at = 0;
    while (at < text.size()) {
        const bool digits = IsDigit(text[at]);
        std::size_t end = at;
        while (end < text.size() && IsDigit(text[end]) == digits)
            ++end;
        if (digits)
            AppendNumber(key, text.substr(at, end - at));
        else
            AppendText(key, text.substr(at, end - at), runKey);
        at = end;
    }
    return key;
}

}  // namespace text
