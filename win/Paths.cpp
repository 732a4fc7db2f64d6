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

std::string NearestExistingFolder(const std::string& path)
{
    for (std::string folder = path; !folder.empty();) {
        if (DirectoryExists(folder))
            return folder;
        std::string parent = folder;
        while (!parent.empty() && parent.back() == '\\')
            parent.pop_back();
        parent = text::ExtractFilePath(parent);
        // A drive that is not there ("Q:") is its own parent.
        if (parent.size() >= folder.size())
            break;
        folder = std::move(parent);
    }
    return {};
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

UniqueHandle OpenForAttributes(const std::string& path)
{
    return UniqueHandle(::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::string UpperCase(std::string text)
{
    if (!text.empty())
        ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

namespace {

// Wide text in the system's code page; lossy, when asked, tells whether a character had no form
// there (a code page of UTF-8 has one for every character).
std::string ToAnsi(const wchar_t* text, BOOL* lossy)
{
    if (text == nullptr)
        return {};
    const bool ask = lossy != nullptr && ::GetACP() != CP_UTF8;
    const DWORD flags = ask ? WC_NO_BEST_FIT_CHARS : 0;
    const int size = ::WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string ansi(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, text, -1, ansi.data(), size, nullptr, ask ? lossy : nullptr);
    ansi.resize(static_cast<std::size_t>(size - 1));
    return ansi;
}

}  // namespace

std::string AnsiText(const wchar_t* text) { return ToAnsi(text, nullptr); }

std::optional<std::string> ExactAnsiText(const wchar_t* text)
{
    BOOL lossy = FALSE;
    std::string ansi = ToAnsi(text, &lossy);
    if (lossy)
        return std::nullopt;
    return ansi;
}

std::wstring WideText(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string ExpandEnvironment(const std::string& text)
{
    std::string expanded(text.size() + 1, '\0');
    for (;;) {
        DWORD n = ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (n == 0)
            return text;
        if (n <= expanded.size()) {
            expanded.resize(n - 1);  // n counts the terminator
            return expanded;
        }
        expanded.resize(n);
    }
}

std::string FullPath(const std::string& path)
{
    if (path.empty())
        return path;
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0)
            return path;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);
    }
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
