#include "core/LaunchRules.h"

#include "core/PuzzleKinds.h"
#include "core/Text.h"

namespace launch {

std::string KindExtension(std::string upperExtension)
{
    if (upperExtension.find('"') != std::string::npos)
        upperExtension.pop_back();
    return upperExtension;
}

namespace {

// The kind whose extension is exactly this (the caller has upper-cased it).
const puzzles::KindTraits* KindOf(std::string_view extension)
{
    for (const puzzles::KindTraits& traits : puzzles::kPuzzleKinds)
        if (extension == traits.extension)
            return &traits;
    return nullptr;
}

}  // namespace

std::string PresenceGameProgram(std::string_view kind)
{
    const puzzles::KindTraits* traits = KindOf(kind);
    return traits != nullptr ? traits->gameProgram : puzzles::TraitsOf(puzzles::PuzzleKind::WordSearch).gameProgram;
}

std::string ParameterGameProgram(std::string_view kind)
{
    const puzzles::KindTraits* traits = KindOf(kind);
    return traits != nullptr ? traits->gameProgram : "";
}

std::string QuotePuzzleArgument(std::string_view file)
{
    if (file.find('"') != std::string_view::npos)
        return std::string(file);
    return "\"" + std::string(file) + "\"";
}

std::string LaunchParameters(std::string_view kind, std::string_view file, bool noSound)
{
    std::string parameters = "-jar " + ParameterGameProgram(kind) + " " + QuotePuzzleArgument(file);
    if (noSound)
        parameters += " --nosound";
    return parameters;
}

std::optional<std::string> JavaProgramFromSetting(std::string_view javaPath)
{
    if (!text::IsAbsolutePath(text::Trim(javaPath)))
        return std::nullopt;
    return text::IncludeTrailingBackslash(javaPath) + kJavaProgram;
}

std::string MissingGameProgramMessage(std::string_view gameProgram)
{
    return "Could not locate the file, \"" + std::string(gameProgram) +
           "\".\r\nPlease make sure that this file is in the program folder and try again.";
}

}  // namespace launch
