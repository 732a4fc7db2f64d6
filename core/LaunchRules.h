// How a puzzle file becomes the game program's command line.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace launch {

inline constexpr const char* kJavaProgram = "javaw.exe";

// The puzzle's kind tag: the extension as given (already upper-cased by the caller), with the
// closing quote of a quoted path dropped.
std::string KindExtension(std::string upperExtension);
// The game program whose presence is tested: the crossword game for ".JGF", else the word search game.
std::string PresenceGameProgram(std::string_view kind);
// The game program named in the parameters: empty for a file of neither kind.
std::string ParameterGameProgram(std::string_view kind);
// The path in double quotes, unless it already holds a double quote.
std::string QuotePuzzleArgument(std::string_view file);
std::string LaunchParameters(std::string_view kind, std::string_view file, bool noSound);
// The Java program named by the setting, or nothing when the setting is blank or not an absolute
// folder: a relative one would name a program in whatever the current folder is.
std::optional<std::string> JavaProgramFromSetting(std::string_view javaPath);
std::string MissingGameProgramMessage(std::string_view gameProgram);

}  // namespace launch
