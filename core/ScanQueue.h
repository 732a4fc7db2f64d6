// The drive scan's queue of folders still to examine, first in, first out. It can hold hundreds
// of thousands of folders at the widest level of a disk, so an entry is only its parent's index
// and the place of its name in a shared arena of names. Folders already taken stay behind the
// head of the queue, each with the fingerprint the scan read from it: the chain of parents tells
// which folders lie above an entry on its path, which is how a link or junction back to an
// ancestor is recognised.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jre {

class ScanQueue {
public:
    using Index = std::uint32_t;
    // The fingerprint of a folder that could not be read; it matches no other.
    static constexpr std::uint64_t kUnknown = 0;

    // A root with its backslash ("C:\"), a subfolder by its name alone.
    void PushRoot(std::string_view root) { Push(kNoParent, root); }
    void PushChild(Index parent, std::string_view name) { Push(parent, name); }
    bool Empty() const { return head_ == entries_.size(); }
    std::size_t Size() const { return entries_.size() - head_; }
    // The first folder of the queue; it leaves the queue but stays known as an ancestor.
    Index Take();

    // The folder's path, ending in a backslash.
    std::string PathOf(Index folder) const;
    // Set once the taken folder has been read; kUnknown until then.
    void SetFingerprint(Index folder, std::uint64_t fingerprint) { fingerprints_[folder] = fingerprint; }
    std::uint64_t Fingerprint(Index folder) const { return fingerprints_[folder]; }
    // Whether isSame holds for one of the folder's ancestors on its path, nearest first.
    template <typename IsSame>
    bool AnyAncestor(Index folder, IsSame isSame) const
    {
        for (Index a = entries_[folder].parent; a != kNoParent; a = entries_[a].parent)
            if (isSame(a))
                return true;
        return false;
    }

private:
    static constexpr Index kNoParent = 0xFFFFFFFFu;
    struct Entry {
        Index parent;
        std::uint32_t name;  // offset in the arena of names
    };
    // Names one after another, each closed by a zero, in blocks that never move.
    class NameArena {
    public:
        std::uint32_t Add(std::string_view name);
        const char* At(std::uint32_t offset) const { return blocks_[offset / kBlock].get() + offset % kBlock; }

    private:
        static constexpr std::uint32_t kBlock = 64 * 1024;
        std::vector<std::unique_ptr<char[]>> blocks_;
        std::uint32_t used_ = kBlock;  // in the last block
    };

    void Push(Index parent, std::string_view name);

    std::deque<Entry> entries_;
    std::deque<std::uint64_t> fingerprints_;  // of the taken folders, by index
    std::size_t head_ = 0;
    NameArena names_;
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
