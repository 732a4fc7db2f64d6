#include "win/SortKeys.h"

#include <windows.h>

#include <algorithm>

#include "core/NaturalOrder.h"

namespace win {

namespace {

// The level separator of a system sort key: before it, the weights of the letters alone.
constexpr char kLevelSeparator = '\x01';

// The weights of the run's letters alone in the system's sort key, under the user's locale: the
// key up to its first level separator.
std::string PrimaryWeights(std::string_view run)
{
    const std::string text(run);
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    char buffer[512];
    std::string key;
    if (const int size = ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.c_str(), -1, buffer, sizeof(buffer));
        size > 0) {
        key.assign(buffer, static_cast<std::size_t>(size));
    } else if (const int needed = ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.c_str(), -1, nullptr, 0);
               needed > 0) {
        key.resize(static_cast<std::size_t>(needed));
        ::LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.c_str(), -1, key.data(), needed);
    }
    key.resize(std::min(key.size(), key.find(kLevelSeparator)));
    return key;
}

}  // namespace

std::string NaturalOrderKey(std::string_view text)
{
    return text::NaturalSortKey(text.substr(0, std::min(text.size(), text.find('\0'))), &PrimaryWeights);
}

}  // namespace win
