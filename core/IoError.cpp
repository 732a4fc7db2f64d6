#include "core/IoError.h"

namespace io {

std::string StandardMessage(std::uint32_t code)
{
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case kShortRead:
            return "Read beyond end of file";
        case kShortWrite:
            return "Disk full";
        default:
            return "I/O error " + std::to_string(code);
    }
}

}  // namespace io
