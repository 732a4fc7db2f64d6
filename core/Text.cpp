#include "core/Text.h"

#include <cctype>

namespace text {
namespace {

bool IsPathDelimiter(char c) { return c == '\\' || c == ':'; }

std::size_t NameStart(std::string_view path)
{
    std::size_t i = path.size();
    while (i > 0 && !IsPathDelimiter(path[i - 1]))
        --i;
    return i;
}

}  // namespace

std::string IncludeTrailingBackslash(std::string_view path)
{
    std::string result(path);
    if (result.empty() || result.back() != '\\')
        result += '\\';
    return result;
}

std::string Trim(std::string_view s)
{
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ')
        --end;
    return std::string(s.substr(begin, end - begin));
}

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ExtractFileExt(std::string_view path)
{
    std::string_view name = path.substr(NameStart(path));
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string FileNameWithoutExt(std::string_view path)
{
    std::string name = ExtractFileName(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace text
