// What tells one folder from another of the same name or reached by another path: its volume and
// its file index. A folder deleted and made again, or renamed away and replaced, has another one.
#pragma once
#include <cstdint>

struct FolderIdentity {
    std::uint32_t Volume = 0;
    std::uint64_t Index = 0;
    bool operator==(const FolderIdentity&) const = default;
};
