#include "core/CommandLine.h"

#include <algorithm>
#include <cstring>

#include "core/Text.h"

namespace app {

std::vector<std::string> ImportArguments(const std::vector<std::string>& arguments)
{
    std::vector<std::string> files;
    if (arguments.empty())
        return files;
    auto import = std::find(arguments.begin() + 1, arguments.end(), kImportArgument);
    if (import == arguments.end())
        return files;
    for (auto file = import + 1; file != arguments.end(); ++file)
        if (!file->empty())
            files.push_back(*file);
    return files;
}

std::vector<char> EncodeHandOver(const std::vector<std::string>& files)
{
    std::vector<char> bytes;
    for (const auto& file : files) {
        bytes.insert(bytes.end(), file.begin(), file.end());
        bytes.push_back('\0');
    }
    return bytes;
}

std::optional<std::vector<std::string>> DecodeHandOver(const char* bytes, std::size_t size)
{
    std::vector<std::string> files;
    if (size == 0)
        return files;
    if (bytes == nullptr || size > kHandOverMaxBytes || bytes[size - 1] != '\0')
        return std::nullopt;
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = std::strlen(bytes + at);
        if (length == 0 || length > kHandOverMaxPath || files.size() == kHandOverMaxFiles ||
            !text::IsAbsolutePath(std::string_view(bytes + at, length)))
            return std::nullopt;
        files.emplace_back(bytes + at, length);
        at += length + 1;
    }
    return files;
}

}  // namespace app
