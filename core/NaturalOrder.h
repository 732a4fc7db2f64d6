// Keys that put texts in natural order: runs of digits compare by their value ("Puzzle 2" before
// "Puzzle 10") and the text between them as a given key for text puts it, such as the system's
// sort key, which orders accented letters beside their base letter and ignores case.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace text {

// The key for a run of text that holds no digit; bytewise order of keys is the order of runs.
using RunKey = std::function<std::string(std::string_view run)>;

// A key whose bytewise order is the natural order of the texts: a run of digits comes before
// text, and two runs of digits compare by value; leading zeros do not count.
std::string NaturalSortKey(std::string_view text, const RunKey& runKey);

}  // namespace text
