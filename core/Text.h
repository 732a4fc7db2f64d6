// Text and path rules shared by every subsystem; ANSI bytes in std::string.
#pragma once
#include <string>
#include <string_view>

namespace text {

// Adds a backslash unless the path already ends in one.
std::string IncludeTrailingBackslash(std::string_view path);
// Removes leading and trailing blanks and control characters.
std::string Trim(std::string_view s);
// The part after the last backslash or colon.
std::string ExtractFileName(std::string_view path);
// Everything up to and including the last backslash or colon.
std::string ExtractFilePath(std::string_view path);
// From the last dot of the file name on; empty when the name has no dot.
std::string ExtractFileExt(std::string_view path);
// The file name without its extension.
std::string FileNameWithoutExt(std::string_view path);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace text
