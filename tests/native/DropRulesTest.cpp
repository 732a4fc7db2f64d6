#include <gtest/gtest.h>

#include <algorithm>

#include "core/DropRules.h"

using puzzles::DroppedKind;

TEST(DropRules, TheExtensionDecidesWhatADroppedFileBecomes)
{
    struct Case {
        const char* path;
        DroppedKind kind;
    };
    const Case cases[] = {
        {"C:\\Downloads\\Birds.cw3", DroppedKind::Collection},
        {"C:\\x\\FRUIT.WS3", DroppedKind::Collection},
        {"C:\\x\\Owls.JGF", DroppedKind::Puzzle},
        {"C:\\x\\owls.jwf", DroppedKind::Puzzle},
        {"C:\\x\\notes.txt", DroppedKind::Other},
        {"C:\\x.cw3\\readme", DroppedKind::Other},
        {"C:\\x\\Owls.JGF.bak", DroppedKind::Other},
        {"C:\\x\\JGF", DroppedKind::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(puzzles::KindOfDropped(c.path), c.kind) << c.path;
    EXPECT_EQ(puzzles::RepositoryExtension("a.jgf"), ".JGF");
    EXPECT_EQ(puzzles::RepositoryExtension("a.Jwf"), ".JWF");
}

TEST(DropRules, OneReportNamesEveryFailureAndEveryRefusedFile)
{
    EXPECT_EQ(puzzles::DropReport({}, {}), "");
    const std::string report = puzzles::DropReport({{"C:\\a.JGF", "It is empty."}, {"C:\\b.JWF", "It is a folder."}},
                                                   {"C:\\c.txt", "C:\\d.doc"});
    std::size_t at = 0;
    for (const char* part : {"C:\\a.JGF", "It is empty.", "C:\\b.JWF", "It is a folder.", ".cw3, .ws3", ".JGF, .JWF",
                             "C:\\c.txt", "C:\\d.doc"}) {
        at = report.find(part, at);
        EXPECT_NE(at, std::string::npos) << part;
    }
}

TEST(DropRules, ALongReportNamesAScreenfulAndCountsTheRest)
{
    std::vector<puzzles::DropProblem> failed;
    std::vector<std::string> refused;
    for (int i = 0; i < 1000; ++i) {
        failed.push_back({"C:\\missing" + std::to_string(i) + ".cw3", "It does not exist."});
        refused.push_back("C:\\other" + std::to_string(i) + ".txt");
    }
    const std::string report = puzzles::DropReport(failed, refused);
    EXPECT_NE(report.find("missing9.cw3"), std::string::npos);
    EXPECT_EQ(report.find("missing10.cw3"), std::string::npos);
    EXPECT_NE(report.find("and 990 more"), std::string::npos);
    EXPECT_NE(report.find("other19.txt"), std::string::npos);
    EXPECT_EQ(report.find("other20.txt"), std::string::npos);
    EXPECT_NE(report.find("and 980 more"), std::string::npos);
    EXPECT_LT(std::count(report.begin(), report.end(), '\n'), 70);
}
