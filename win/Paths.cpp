#include "win/Paths.h"

#include <windows.h>

#include "core/Text.h"

namespace win {

std::string ProgramFileName()
{
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder() { return text::ExtractFilePath(ProgramFileName()); }

bool FileExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(const std::string& path)
{
    std::string folder = path;
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    if (folder.empty())
        return false;
    if (DirectoryExists(folder))
        return true;
    std::string parent = text::ExtractFilePath(folder);
    // A drive root or a bare name has no parent left to create.
    if (!parent.empty() && parent != folder && parent.back() != ':' && parent.size() < folder.size())
        ForceDirectories(parent);
    return ::CreateDirectoryA(folder.c_str(), nullptr) || DirectoryExists(folder);
}

std::string UpperCase(std::string text)
{
    if (!text.empty())
        ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string EnvironmentVariable(const std::string& name)
{
    DWORD size = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::string value(size, '\0');
    DWORD n = ::GetEnvironmentVariableA(name.c_str(), value.data(), size);
    value.resize(n < size ? n : 0);
    return value;
}

}  // namespace win
