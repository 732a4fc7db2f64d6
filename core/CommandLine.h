// What the program's command line asks of the main window, and how a second start hands its
// collection files to the window that already runs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kImportArgument = "--import";

// The collection files named after the first "--import", in their order; arguments[0] is the
// program's own path. Empty arguments are left out.
std::vector<std::string> ImportArguments(const std::vector<std::string>& arguments);

// The hand-over's tag, carried beside its bytes: a message of any other tag is not ours.
inline constexpr std::uintptr_t kHandOverTag = 0x4B4C4447;  // "GDLK"
// Bounds that no real hand-over comes near: a message beyond them is refused, not read.
inline constexpr std::size_t kHandOverMaxBytes = 1 << 20;
inline constexpr std::size_t kHandOverMaxFiles = 1000;
inline constexpr std::size_t kHandOverMaxPath = 32767;

// The hand-over's bytes: each file's path followed by a zero byte. No files, no bytes: the
// running window only comes to the front.
std::vector<char> EncodeHandOver(const std::vector<std::string>& files);
// The files of a hand-over, or nothing when the bytes are not one: a path that is empty, relative
// (the receiver's current folder is not the sender's), too long or not ended by a zero byte, too
// many files or too many bytes.
std::optional<std::vector<std::string>> DecodeHandOver(const char* bytes, std::size_t size);

}  // namespace app
