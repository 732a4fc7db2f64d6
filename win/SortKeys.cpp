#include "win/SortKeys.h"

#include <windows.h>

#include <algorithm>

#include "core/NaturalOrder.h"

namespace win {

namespace {

// The level separator of a system sort key: before it, the weights of the letters alone.
constexpr char kLevelSeparator = '\x01';

std::string PrimaryWeights(std::string_view run)
{
    std::string key = SortKey(run);
    key.resize(std::min(key.size(), key.find(kLevelSeparator)));
    return key;
}

}  // namespace

std::string SortKey(std::string_view text)
{
    // As a list shows it: up to a zero character.
    const std::string shown(text.substr(0, std::min(text.size(), text.find('\0'))));
    char buffer[512];
    int size =
        ::LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, shown.c_str(), -1, buffer, sizeof(buffer));
    if (size > 0)
        return std::string(buffer, static_cast<std::size_t>(size - 1));
    size = ::LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, shown.c_str(), -1, nullptr, 0);
    if (size <= 0)
        return {};
    std::string key(static_cast<std::size_t>(size), '\0');
    ::LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, shown.c_str(), -1, key.data(), size);
    key.resize(static_cast<std::size_t>(size - 1));
    return key;
}

std::string NaturalOrderKey(std::string_view text)
{
    const std::string shown(text.substr(0, std::min(text.size(), text.find('\0'))));
    std::string key = text::NaturalSortKey(shown, &PrimaryWeights);
    key += '\0';
    key += SortKey(shown);
    return key;
}

}  // namespace win
