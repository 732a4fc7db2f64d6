#include "core/FileNames.h"

namespace puzzles {

namespace {

// Besides control characters, what Windows refuses in a file name; a separator or a colon would
// also lead out of the folder or into a stream.
constexpr std::string_view kRefusedCharacters = "\\/:<>\"|?*";

// "the character ?", "the characters : and ?", "the characters : and ? and control characters";
// empty when the name holds none of them.
std::string RefusedPartsOf(std::string_view name)
{
    std::string found;
    bool control = false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20)
            control = true;
        else if (kRefusedCharacters.find(c) != std::string_view::npos && found.find(c) == std::string::npos)
            found += c;
    }
    std::string text;
    if (!found.empty()) {
        text = found.size() == 1 ? "the character " : "the characters ";
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (i > 0)
                text += i + 1 == found.size() ? " and " : ", ";
            text += found[i];
        }
    }
    if (control)
        text += text.empty() ? "control characters" : " and control characters";
    return text;
}

}  // namespace

bool IsSafeFileName(std::string_view name)
{
    if (name.empty())
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
        if (kRefusedCharacters.find(c) != std::string_view::npos)
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

namespace {

constexpr const char* kRefusedCharactersLine =
    "\r\nA file name cannot hold any of these characters: \\ / : * ? \" < > |";

// The name with control characters shown as blanks.
std::string Shown(std::string_view name)
{
    std::string shown;
    for (char c : name)
        shown += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return shown;
}

std::string WhyRefused(std::string_view name)
{
    if (const std::string parts = RefusedPartsOf(name); !parts.empty())
        return "Windows does not allow " + parts + " in a file name.";
    if (name.empty() || name == "." || name == "..")
        return "Windows does not allow a file name that is empty or only dots.";
    return "Windows does not accept it as a file name.";
}

}  // namespace

std::string RefusedNameText(std::string_view name)
{
    return "The puzzle \"" + Shown(name) + "\" cannot be saved under its name: " + WhyRefused(name) +
           kRefusedCharactersLine;
}

std::string RefusedRenameText(std::string_view name)
{
    return "The puzzle cannot be renamed to \"" + Shown(name) + "\": " + WhyRefused(name) + kRefusedCharactersLine;
}

std::string TypedFileName(std::string_view typed)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!typed.empty() && isBlank(typed.front()))
        typed.remove_prefix(1);
    while (!typed.empty() && (isBlank(typed.back()) || typed.back() == '.'))
        typed.remove_suffix(1);
    return std::string(typed);
}

}  // namespace puzzles
