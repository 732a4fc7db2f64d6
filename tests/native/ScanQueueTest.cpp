#include <gtest/gtest.h>

#include "core/ScanQueue.h"

using jre::ScanQueue;

TEST(ScanQueue, FixedDrivesAreTakenInLetterOrderFromTheMask)
{
    struct Case {
        std::uint32_t mask;
        std::string fixed;  // letters whose root is fixed
        std::vector<std::string> roots;
    };
    const Case cases[] = {
        {0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", {}},
        {(1u << 0) | (1u << 2) | (1u << 3) | (1u << 25), "", {}},  // all removable, optical or network
        {(1u << 0) | (1u << 2) | (1u << 3) | (1u << 25), "CZ", {"C:\\", "Z:\\"}},
        {0xFFFFFFFFu, "AM", {"A:\\", "M:\\"}},  // only the 26 letters count
    };
    for (const auto& c : cases) {
        auto roots = jre::FixedDriveRoots(
            c.mask, [&](const std::string& root) { return c.fixed.find(root[0]) != std::string::npos; });
        EXPECT_EQ(roots, c.roots) << c.mask;
    }
}

TEST(ScanQueue, FoldersComeFirstInFirstOutWithTheirPathsAndStayKnownAsAncestors)
{
    ScanQueue queue;
    queue.PushRoot("C:\\");
    queue.PushRoot("D:\\");
    const auto c = queue.Take();
    queue.SetFingerprint(c, 11);
    queue.PushChild(c, "Program Files");
    const auto d = queue.Take();
    queue.SetFingerprint(d, 12);
    const auto programs = queue.Take();
    queue.SetFingerprint(programs, 21);
    queue.PushChild(programs, "Java");
    queue.PushChild(programs, std::string(300, 'x'));  // longer than MAX_PATH bytes of a double-byte name
    const auto java = queue.Take();
    const auto longName = queue.Take();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.PathOf(c), "C:\\");
    EXPECT_EQ(queue.PathOf(d), "D:\\");
    EXPECT_EQ(queue.PathOf(java), "C:\\Program Files\\Java\\");
    EXPECT_EQ(queue.PathOf(longName), "C:\\Program Files\\" + std::string(300, 'x') + "\\");
    EXPECT_EQ(queue.Fingerprint(java), ScanQueue::kUnknown);

    std::vector<std::uint64_t> ancestors;
    EXPECT_FALSE(queue.AnyAncestor(java, [&](ScanQueue::Index a) {
        ancestors.push_back(queue.Fingerprint(a));
        return false;
    }));
    EXPECT_EQ(ancestors, (std::vector<std::uint64_t>{21, 11}));  // nearest first, never another drive
    EXPECT_TRUE(queue.AnyAncestor(java, [&](ScanQueue::Index a) { return queue.Fingerprint(a) == 11; }));
    EXPECT_FALSE(queue.AnyAncestor(c, [](ScanQueue::Index) { return true; }));
}

TEST(ScanQueue, NamesFillTheirBlocksWithoutLosingAnyAtTheBlockEdges)
{
    ScanQueue queue;
    queue.PushRoot("W:\\");
    const auto root = queue.Take();
    constexpr int kFolders = 200000;  // several blocks of names, edges met at every length
    for (int i = 0; i < kFolders; ++i)
        queue.PushChild(root, "f" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), 'n'));
    EXPECT_EQ(queue.Size(), static_cast<std::size_t>(kFolders));
    for (int i = 0; i < kFolders; ++i) {
        const auto folder = queue.Take();
        ASSERT_EQ(queue.PathOf(folder),
                  "W:\\f" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), 'n') + "\\");
    }
}
