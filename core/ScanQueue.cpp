#include "core/ScanQueue.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace jre {

std::uint32_t ScanQueue::NameArena::Add(std::string_view name)
{
    // A name longer than a block cannot come from a listing; it is cut rather than overrun.
    const std::uint32_t length = static_cast<std::uint32_t>(std::min<std::size_t>(name.size(), kBlock - 1));
    if (kBlock - used_ < length + 1) {
        if (blocks_.size() >= 0xFFFFFFFFu / kBlock)
            throw std::bad_alloc();
        blocks_.push_back(std::make_unique<char[]>(kBlock));
        used_ = 0;
    }
    char* place = blocks_.back().get() + used_;
    std::memcpy(place, name.data(), length);
    place[length] = '\0';
    const auto offset = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlock + used_);
    used_ += length + 1;
    return offset;
}

void ScanQueue::Push(Index parent, std::string_view name)
{
    if (entries_.size() >= kNoParent)
        throw std::bad_alloc();
    entries_.push_back(Entry{parent, names_.Add(name)});
}

ScanQueue::Index ScanQueue::Take()
{
    fingerprints_.push_back(kUnknown);
    return static_cast<Index>(head_++);
}

std::string ScanQueue::PathOf(Index folder) const
{
    std::vector<const char*> names;
    for (Index n = folder; n != kNoParent; n = entries_[n].parent)
        names.push_back(names_.At(entries_[n].name));
    std::string path;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        path += *name;
        if (path.empty() || path.back() != '\\')
            path += '\\';
    }
    return path;
}

}  // namespace jre
