// Input/output failures: the Windows error code and the standard message the user is shown.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace io {

// A failure with a system error code, or one of the two that carry none: fewer bytes read or
// written than asked without an error.
enum class Failure { System, ShortRead, ShortWrite };

// "File not found", "Invalid filename", ..., "Read beyond end of file", "Disk full", "I/O error %d".
std::string StandardMessage(Failure failure, std::uint32_t code = 0);

class IoError : public std::runtime_error {
public:
    explicit IoError(std::uint32_t code) : IoError(Failure::System, code) {}
    explicit IoError(Failure failure, std::uint32_t code = 0)
        : std::runtime_error(StandardMessage(failure, code)), failure_(failure), code_(code)
    {
    }
    Failure Kind() const { return failure_; }
    // The system error code; 0 for a short read or write.
    std::uint32_t Code() const { return code_; }

private:
    Failure failure_;
    std::uint32_t code_;
};

}  // namespace io
