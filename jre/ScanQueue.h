// The drive scan's queue of folders still to examine, first in, first out. It can hold hundreds
// of thousands of folders at the widest level of a disk, so each entry is its name and a shared
// reference to its parent, not a whole path; the same chain of parents tells which folders lie
// above an entry on its path, which is how a link or junction back to an ancestor is recognised.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/FolderIdentity.h"

namespace jre {

class ScanQueue {
public:
    struct Node {
        std::shared_ptr<const Node> parent;
        std::string name;                   // a root with its backslash ("C:\"), a subfolder's name otherwise
        std::optional<FolderIdentity> key;  // known once the folder has been taken
    };
    using NodePtr = std::shared_ptr<Node>;

    void PushRoot(const std::string& root);
    void PushChild(const std::shared_ptr<const Node>& parent, const std::string& name);
    bool Empty() const { return queue_.empty(); }
    std::size_t Size() const { return queue_.size(); }
    // The first folder of the queue, removed from it.
    NodePtr Take();

    // The folder's path, ending in a backslash.
    static std::string PathOf(const Node& node);
    // Whether one of the folder's ancestors on its path is the same folder.
    static bool RepeatsAnAncestor(const Node& node, const FolderIdentity& key);

private:
    std::deque<NodePtr> queue_;
};

// The roots of the fixed drives, in letter order A to Z: bit 0 of the mask is A; isFixed is asked
// for each present letter's root ("C:\").
template <typename IsFixed>
std::vector<std::string> FixedDriveRoots(std::uint32_t mask, IsFixed isFixed)
{
    std::vector<std::string> roots;
    for (int letter = 0; letter < 26; ++letter) {
        if ((mask & (std::uint32_t{1} << letter)) == 0)
            continue;
        std::string root = std::string(1, static_cast<char>('A' + letter)) + ":\\";
        if (isFixed(root))
            roots.push_back(root);
    }
    return roots;
}

}  // namespace jre
