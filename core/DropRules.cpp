#include "core/DropRules.h"

#include "core/PuzzleKinds.h"
#include "core/Text.h"

namespace puzzles {

DroppedKind KindOfDropped(std::string_view path)
{
    const std::string extension = text::ExtractFileExt(path);
    if (KindOfCollectionExtension(extension) != nullptr)
        return DroppedKind::Collection;
    if (KindOfExtension(extension) != nullptr)
        return DroppedKind::Puzzle;
    return DroppedKind::Other;
}

std::string RepositoryExtension(std::string_view path)
{
    const KindTraits* traits = KindOfExtension(text::ExtractFileExt(path));
    return (traits != nullptr ? *traits : TraitsOf(PuzzleKind::WordSearch)).extension;
}

namespace {

// A screenful: the files named before the rest are only counted.
constexpr std::size_t kShownProblems = 10;
constexpr std::size_t kShownRefused = 20;

std::string MoreLine(std::size_t total, std::size_t shown)
{
    return total > shown ? "and " + std::to_string(total - shown) + " more\r\n" : std::string();
}

}  // namespace

std::string DropReport(const std::vector<DropProblem>& failed, const std::vector<std::string>& refused)
{
    std::string report;
    if (!failed.empty()) {
        report += failed.size() == 1 ? "This file could not be added:\r\n" : "These files could not be added:\r\n";
        for (std::size_t i = 0; i < failed.size() && i < kShownProblems; ++i)
            report += "\r\n" + failed[i].Path + "\r\n    " + failed[i].Reason + "\r\n";
        if (failed.size() > kShownProblems)
            report += "\r\n" + MoreLine(failed.size(), kShownProblems);
    }
    if (!refused.empty()) {
        if (!report.empty())
            report += "\r\n";
        report +=
            "Gridlark takes only puzzle collections (.cw3, .ws3) and puzzle files (.JGF, .JWF). "
            "These files are neither:\r\n\r\n";
        for (std::size_t i = 0; i < refused.size() && i < kShownRefused; ++i)
            report += refused[i] + "\r\n";
        report += MoreLine(refused.size(), kShownRefused);
    }
    return report;
}

}  // namespace puzzles
