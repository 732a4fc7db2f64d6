// Text and path rules shared by every subsystem; ANSI bytes in std::string.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// Whether the path starts at a drive's root (C:\...) or at a share (\\server\...). A relative
// path, a drive without its root (C:x) or a path from the current drive's root (\x) depends on
// the current folder.
bool IsAbsolutePath(std::string_view path);
// The absolute folders of a search path value (PATH), in its order, each with a trailing
// backslash; blank, quoted-empty and relative entries are left out. A program searched for only
// there can never be one planted in the current folder.
std::vector<std::string> AbsoluteSearchFolders(std::string_view pathValue);

// The text with a line break put into every run of more than width characters without a blank,
// after a backslash where the run has one within the width: a long path then wraps in a message
// box instead of making it wider than the screen. Line breaks already in the text stay.
std::string WrapLongRuns(std::string_view text, std::size_t width);
// The text with every line of more than longest characters cut in its middle to its first and
// last characters, "..." between them, longest in all: a path of thousands of characters, blanks
// or none, keeps its drive and its file name.
std::string ShortenLongLines(std::string_view text, std::size_t longest);

}  // namespace text
