// Text rules of version information: flags in words, the four-part split, the short version and
// the installation record's version text.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace version {

using Parts = std::array<std::string, 4>;

// "Test, Private version" and the like; empty when no known flag is set.
std::string FlagsText(std::uint32_t fileFlags);
// Major, minor, release, build; 3.2 gives 3, "", "", 2.
Parts SplitVersion(std::string_view fileVersion);
// " v 1.0b" for 1.0.2.1: release 1..24 as a letter of abcdefghijkmnpqrstuvwxyz.
std::string ShortVersion(std::string_view fileVersion);
// Each part at least two characters wide, joined by dots: 01.00.02.01.
std::string ProgramVersionText(const Parts& parts);
// Whether the recorded version is to be replaced: the program's text is greater, byte by byte.
bool IsNewerVersion(std::string_view program, std::string_view recorded);

}  // namespace version
