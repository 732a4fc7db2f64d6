// What tells whether a folder reached by one path is the same as one reached by another: the
// drive scan's loop guard asks it of every folder it opens.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

namespace win {

// What can be read from the open folder without asking the volume manager: its file index, its
// attribute bits, its creation, write and change times, and the size of its volume, folded into
// one number that is never 0. Two paths to the same folder give the same fingerprint. File
// systems mounted inside one another can give their roots the same index and volume serial;
// their volumes' sizes or times still tell them apart. Reading it asks nothing of the volume
// manager, which under Wine is a call into another process; nullopt when it cannot be read.
std::optional<std::uint64_t> FolderFingerprint(HANDLE folder);

// The file system's own identity of an open file: its volume serial with the 128-bit file id where
// the system offers it, else with the 64-bit file index.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::array<unsigned char, 16> id{};
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(HANDLE file);

}  // namespace win
