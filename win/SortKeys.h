// The system's order of names, as keys compared byte by byte: sorting by keys made once costs far
// less than asking the system to compare each pair.
#pragma once
#include <string>
#include <string_view>

namespace win {

// The order Explorer shows names in: numbers by value, accented letters beside their base letter,
// case ignored. Text runs weigh by their letters alone, so names that differ only in accents or
// case have equal keys; the caller breaks such ties.
std::string NaturalOrderKey(std::string_view text);

}  // namespace win
