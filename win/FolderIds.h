// What tells whether a folder reached by one path is the same as one reached by another: the
// drive scan's loop guard asks it of every folder it opens, and the repository watcher of its
// folder, to see it replaced under the same name. The identity decides; the fingerprint is only
// the scan's cheap first look, which rules out almost every other folder.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace win {

// What two cheap calls read from the open folder: its file index, its attribute bits and its
// creation, write and change times, folded into one number that is never 0. Two paths to the same
// folder give the same fingerprint; different folders almost never do, but the roots of file
// systems mounted inside one another can. nullopt when it cannot be read.
std::optional<std::uint64_t> FolderFingerprint(HANDLE folder);

// The file system's own identity of an open file: its volume serial with the 128-bit file id where
// the system offers it, else with the 64-bit file index; and the size of its volume. Under Wine,
// file systems mounted inside one another can give their roots the same serial and file id; their
// volumes' sizes still tell them apart. Reading the serial may ask the volume manager, which under
// Wine is a call into another process.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::array<unsigned char, 16> id{};
    std::int64_t volumeUnits = 0;
    std::uint32_t unitBytes = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(HANDLE file);
// The identity of an existing folder; none for a missing path, a file, or a folder not opened.
std::optional<FileIdentity> IdentifyFolder(const std::string& path);

// The path the open file or folder has once every link and junction on the way is resolved
// (GetFinalPathNameByHandleA); nothing when it cannot be read. Under Wine it tells a folder
// reached again through a link (its ancestor's path) from the root of a file system mounted
// inside another that reads the same identity (its own path).
std::optional<std::string> FinalPathOf(HANDLE file);

}  // namespace win
