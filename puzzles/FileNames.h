// Which texts may become a file name inside the repository.
#pragma once
#include <string_view>

namespace puzzles {

// False for a text holding a path separator, a drive colon or stream colon, any other character
// Windows refuses in a file name (< > " | ? *), or a control character: such a name could write
// outside the repository or into an alternate data stream.
bool IsSafeFileName(std::string_view name);

// The error Windows gives for a name it refuses (ERROR_INVALID_NAME).
inline constexpr unsigned kInvalidNameError = 123;

}  // namespace puzzles
