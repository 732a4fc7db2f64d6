// The system's order of names, as keys compared byte by byte: sorting by keys made once costs far
// less than asking the system to compare each pair.
#pragma once
#include <string>
#include <string_view>

namespace win {

// The system's sort key of the text under the user's locale, case ignored, without its final zero.
std::string SortKey(std::string_view text);
// The order Explorer shows names in: numbers by value, accented letters beside their base letter,
// case ignored. Text runs weigh first by their letters alone; the whole text's key breaks ties.
std::string NaturalOrderKey(std::string_view text);

}  // namespace win
