// Which texts may become a file name inside the repository.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace puzzles {

// False for a text holding a path separator, a drive colon or stream colon, any other character
// Windows refuses in a file name (< > " | ? *), or a control character: such a name could write
// outside the repository or into an alternate data stream.
bool IsSafeFileName(std::string_view name);

// The first of text, text + " (2)", text + " (3)", ... that is not taken: two puzzles of one
// import never share a file.
std::string FirstFreeName(const std::string& text, const std::function<bool(const std::string&)>& taken);

// Why Windows refuses the name, in words that name the puzzle and the characters it may not use;
// for a name that IsSafeFileName refuses, or one the system refused with kInvalidNameError.
std::string RefusedNameText(std::string_view name);

// A name typed for a puzzle as Windows keeps it: without the blanks around it and without trailing
// dots, which the system drops from a file name.
std::string TypedFileName(std::string_view typed);
// Why a puzzle cannot be renamed to the name, in the same words; for a name IsSafeFileName refuses.
std::string RefusedRenameText(std::string_view name);

// The error Windows gives for a name it refuses (ERROR_INVALID_NAME).
inline constexpr unsigned kInvalidNameError = 123;

}  // namespace puzzles
