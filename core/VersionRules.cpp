#include "core/VersionRules.h"

#include "core/Text.h"

namespace version {
namespace {

constexpr std::string_view kReleaseLetters = "abcdefghijkmnpqrstuvwxyz";

// Takes the part before the first dot of rest and leaves the text after it; without a dot the
// part is empty and rest stays whole.
std::string TakePart(std::string& rest)
{
    auto dot = rest.find('.');
    if (dot == std::string::npos)
        return {};
    std::string part = text::Trim(rest.substr(0, dot));
    rest = text::Trim(rest.substr(dot + 1));
    return part;
}

// The decimal value of the release part; text that is no number reads as 0 (no letter).
long ReleaseNumber(const std::string& release)
{
    if (release.empty() || release.size() > 9)
        return release.size() > 9 ? 25 : 0;
    long value = 0;
    for (char c : release) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string FlagsText(std::uint32_t fileFlags)
{
    static const char* const names[] = {", Test",    ", Pre-release",  ", Patched",
                                        ", Private", ", InfoInferred", ", Special"};
    std::string text;
    for (int bit = 0; bit < 6; ++bit)
        if (fileFlags & (1u << bit))
            text += names[bit];
    return text.empty() ? text : text.substr(2) + " version";
}

Parts SplitVersion(std::string_view fileVersion)
{
    Parts parts;
    if (fileVersion.empty())
        return parts;
    std::string rest(fileVersion);
    parts[0] = TakePart(rest);
    parts[1] = TakePart(rest);
    parts[2] = TakePart(rest);
    auto dot = rest.find('.');
    parts[3] = text::Trim(dot == std::string::npos ? rest : rest.substr(dot + 1));
    return parts;
}

std::string ShortVersion(std::string_view fileVersion)
{
    if (fileVersion.empty())
        return {};
    Parts parts = SplitVersion(fileVersion);
    std::string result = " v " + parts[0] + "." + parts[1];
    long release = ReleaseNumber(parts[2]);
    if (release >= 1 && release <= 24)
        result += kReleaseLetters[static_cast<std::size_t>(release - 1)];
    else if (release >= 25)
        result += "." + parts[2];
    return result;
}

std::string ProgramVersionText(const Parts& parts)
{
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += '.';
        result += parts[i].size() < 2 ? "0" + parts[i] : parts[i];
    }
    return result;
}

bool IsNewerVersion(std::string_view program, std::string_view recorded) { return program > recorded; }

}  // namespace version
