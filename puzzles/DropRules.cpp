#include "puzzles/DropRules.h"

#include "core/Text.h"

namespace puzzles {

namespace {

constexpr const char* kCrosswordExtension = ".JGF";
constexpr const char* kWordSearchExtension = ".JWF";

}  // namespace

DroppedKind KindOfDropped(std::string_view path)
{
    const std::string extension = text::ExtractFileExt(path);
    for (const char* collection : {".cw3", ".ws3"})
        if (text::EqualsNoCase(extension, collection))
            return DroppedKind::Collection;
    for (const char* puzzle : {kCrosswordExtension, kWordSearchExtension})
        if (text::EqualsNoCase(extension, puzzle))
            return DroppedKind::Puzzle;
    return DroppedKind::Other;
}

std::string RepositoryExtension(std::string_view path)
{
    return text::EqualsNoCase(text::ExtractFileExt(path), kCrosswordExtension) ? kCrosswordExtension
                                                                               : kWordSearchExtension;
}

std::string DropReport(const std::vector<DropProblem>& failed, const std::vector<std::string>& refused)
{
    std::string report;
    if (!failed.empty()) {
        report += failed.size() == 1 ? "This file could not be added:\r\n" : "These files could not be added:\r\n";
        for (const auto& problem : failed)
            report += "\r\n" + problem.Path + "\r\n    " + problem.Reason + "\r\n";
    }
    if (!refused.empty()) {
        if (!report.empty())
            report += "\r\n";
        report +=
            "Gridlark takes only puzzle collections (.cw3, .ws3) and puzzle files (.JGF, .JWF). "
            "These files are neither:\r\n\r\n";
        for (const auto& path : refused)
            report += path + "\r\n";
    }
    return report;
}

}  // namespace puzzles
