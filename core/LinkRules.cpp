#include "core/LinkRules.h"

#include "core/Text.h"

namespace settings {
namespace {

constexpr std::size_t kMostTagCharacters = 260;

}  // namespace

std::string ReferralSuffix(const std::string& installFile)
{
    std::string name = installFile.substr(
        installFile.find_last_of("\\:") == std::string::npos ? 0 : installFile.find_last_of("\\:") + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos)
        name.resize(dot);
    const auto dash = name.find('-');
    if (dash == std::string::npos)
        return {};
    return "?ID=" + name.substr(dash + 1, kMostTagCharacters);
}

std::string UpdatePageAddress(const std::string& site, const std::string& shortVersion)
{
    std::string version = text::Trim(shortVersion);
    if (const auto v = version.find("v "); v != std::string::npos)
        version.erase(v + 1, 1);
    for (char& c : version)
        if (c == ' ' || c == '.')
            c = '_';
    std::string address = site + "/gridlark/upd/gl" + version + ".htm";
    for (char& c : address)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return address;
}

}  // namespace settings
