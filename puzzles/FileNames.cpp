#include "puzzles/FileNames.h"

namespace puzzles {

bool IsSafeFileName(std::string_view name)
{
    if (name.empty())
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
        if (std::string_view("\\/:<>\"|?*").find(c) != std::string_view::npos)
            return false;
    }
    return name != "." && name != "..";
}

std::string FirstFreeName(const std::string& text, const std::function<bool(const std::string&)>& taken)
{
    std::string name = text;
    for (unsigned n = 2; taken(name); ++n)
        name = text + " (" + std::to_string(n) + ")";
    return name;
}

}  // namespace puzzles
