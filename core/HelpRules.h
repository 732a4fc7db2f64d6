// The help access's rules that need no window: where the library and the help file are looked
// for, the address of a topic, and the two messages.
#pragma once
#include <string>
#include <vector>

namespace help {

inline constexpr const char* kLibraryName = "hhctrl.ocx";

// The candidates for the viewer's library when the system's own copy is missing, in order: each
// absolute entry of the PATH value with a backslash added unless it ends in one, then the
// library's name. The current folder and relative entries are never candidates: a planted library
// beside an opened file must not run.
std::vector<std::string> LibraryCandidates(const std::string& pathValue);

// The help file: the name itself when it has a folder part, else the program's folder and it.
std::string HelpFilePath(const std::string& helpFile, const std::string& programFolder);

// "%s::\Contents.htm" for no topic; "%s::\%s" for a topic holding ".htm" (exact case);
// "%s::\%s.htm" otherwise.
std::string TopicAddress(const std::string& helpFilePath, const std::string& topic);

std::string MissingFileMessage(const std::string& helpFile);
std::string NotInstalledMessage(const std::string& title);

}  // namespace help
