#include "core/IoError.h"

namespace io {

std::string StandardMessage(Failure failure, std::uint32_t code)
{
    if (failure == Failure::ShortRead)
        return "Read beyond end of file";
    if (failure == Failure::ShortWrite)
        return "Disk full";
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        default:
            return "I/O error " + std::to_string(code);
    }
}

}  // namespace io
