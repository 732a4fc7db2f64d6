#include <gtest/gtest.h>

#include "jre/ScanQueue.h"

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

TEST(ScanQueue, PathsEndInABackslashAndAnAncestorOfTheSameIdentityIsFound)
{
    ScanQueue queue;
    queue.PushRoot("C:\\");
    auto root = queue.Take();
    root->key = FolderIdentity{7, 1};
    queue.PushChild(root, "Program Files");
    auto child = queue.Take();
    child->key = FolderIdentity{7, 2};
    queue.PushChild(child, "Java");
    queue.PushChild(child, "Back");
    auto java = queue.Take();
    auto back = queue.Take();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(ScanQueue::PathOf(*root), "C:\\");
    EXPECT_EQ(ScanQueue::PathOf(*java), "C:\\Program Files\\Java\\");
    EXPECT_FALSE(ScanQueue::RepeatsAnAncestor(*java, FolderIdentity{7, 3}));
    EXPECT_FALSE(ScanQueue::RepeatsAnAncestor(*java, FolderIdentity{8, 1}));  // another volume
    EXPECT_TRUE(ScanQueue::RepeatsAnAncestor(*back, FolderIdentity{7, 1}));
    EXPECT_TRUE(ScanQueue::RepeatsAnAncestor(*back, FolderIdentity{7, 2}));
}
