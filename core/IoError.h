// Input/output failures: the Windows error code and the standard message the user is shown.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace io {

// Codes of our own for the two failures that carry no system error.
inline constexpr std::uint32_t kShortRead = 38;    // ERROR_HANDLE_EOF
inline constexpr std::uint32_t kShortWrite = 112;  // ERROR_DISK_FULL

// "File not found", "Invalid filename", ..., "I/O error %d".
std::string StandardMessage(std::uint32_t code);

class IoError : public std::runtime_error {
public:
    explicit IoError(std::uint32_t code) : std::runtime_error(StandardMessage(code)), code_(code) {}
    std::uint32_t Code() const { return code_; }

private:
    std::uint32_t code_;
};

}  // namespace io
