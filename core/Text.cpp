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

bool IsAbsolutePath(std::string_view path)
{
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    const bool drive =
        path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && separator(path[2]);
    const bool share = path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
    return drive || share;
}

std::vector<std::string> AbsoluteSearchFolders(std::string_view pathValue)
{
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= pathValue.size()) {
        std::size_t end = pathValue.find(';', start);
        if (end == std::string_view::npos)
            end = pathValue.size();
        std::string entry = Trim(pathValue.substr(start, end - start));
        if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"')
            entry = Trim(std::string_view(entry).substr(1, entry.size() - 2));
        if (IsAbsolutePath(entry))
            folders.push_back(IncludeTrailingBackslash(entry));
        start = end + 1;
    }
    return folders;
}

std::string WrapLongRuns(std::string_view text, std::size_t width)
{
    if (width == 0)
        return std::string(text);
    std::string wrapped;
    wrapped.reserve(text.size() + text.size() / width * 2);
    std::size_t runStart = 0;  // where the current run begins in wrapped
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= ' ') {
            wrapped += c;
            runStart = wrapped.size();
            continue;
        }
        if (wrapped.size() - runStart >= width) {
            // Break after the last backslash of the run's last width characters, else right here.
            const std::size_t slash = wrapped.find_last_of('\\');
            const std::size_t at = slash != std::string::npos && slash >= runStart && slash + 1 > runStart + width / 2
                                       ? slash + 1
                                       : wrapped.size();
            wrapped.insert(at, "\r\n");
            runStart = at + 2;
        }
        wrapped += c;
    }
    return wrapped;
}

std::string ShortenLongLines(std::string_view text, std::size_t longest)
{
    constexpr std::string_view kEllipsis = "...";
    if (longest <= kEllipsis.size() + 2)
        return std::string(text);
    const std::size_t head = (longest - kEllipsis.size()) / 3;
    const std::size_t tail = longest - kEllipsis.size() - head;
    std::string shortened;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const std::string_view line = text.substr(at, end - at);
        if (line.size() > longest) {
            shortened.append(line.substr(0, head));
            shortened.append(kEllipsis);
            shortened.append(line.substr(line.size() - tail));
        } else {
            shortened.append(line);
        }
        while (end < text.size() && (text[end] == '\r' || text[end] == '\n'))
            shortened += text[end++];
        at = end;
    }
    return shortened;
}

}  // namespace text
