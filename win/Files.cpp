#include "win/Files.h"

#include <atomic>

namespace win {

void ThrowIoError(DWORD code) { throw io::IoError(code); }

void ThrowLastIoError() { ThrowIoError(::GetLastError()); }

File File::OpenShared(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastIoError();
    return File(h);
}

File File::CreateExclusive(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastIoError();
    return File(h);
}

std::uint64_t File::Size() const
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size))
        ThrowLastIoError();
    return static_cast<std::uint64_t>(size.QuadPart);
}

DWORD File::ReadSomeAt(std::uint64_t offset, void* buffer, DWORD size) const
{
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handle_.get(), position, nullptr, FILE_BEGIN))
        ThrowLastIoError();
    DWORD read = 0;
    if (!::ReadFile(handle_.get(), buffer, size, &read, nullptr))
        ThrowLastIoError();
    return read;
}

void File::ReadAt(std::uint64_t offset, void* buffer, DWORD size) const
{
    if (ReadSomeAt(offset, buffer, size) != size)
        ThrowIoError(io::kShortRead);
}

void File::Write(const void* data, DWORD size) const
{
    DWORD written = 0;
    if (!::WriteFile(handle_.get(), data, size, &written, nullptr))
        ThrowLastIoError();
    if (written != size)
        ThrowIoError(io::kShortWrite);
}

void File::Flush() const
{
    if (!::FlushFileBuffers(handle_.get()))
        ThrowLastIoError();
}

namespace {

// A name in the target's folder that no listing of puzzle files picks up. The folder ends at the
// last separator only: a colon in the name must not turn the temporary file into a stream.
std::string TemporaryNameBeside(const std::string& path, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    const auto separator = path.find_last_of("\\/");
    const std::string folder = separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
    return folder + "~gridlark-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt) + ".tmp";
}

File CreateTemporaryBeside(const std::string& path, std::string& temporary)
{
    for (unsigned attempt = 0;; ++attempt) {
        temporary = TemporaryNameBeside(path, attempt);
        try {
            return File::CreateExclusive(temporary);
        } catch (const io::IoError& e) {
            if ((e.Code() != ERROR_FILE_EXISTS && e.Code() != ERROR_ALREADY_EXISTS) || attempt >= 100)
                throw;
        }
    }
}

// Moves the written temporary file to the target in one step. A new name is taken directly; an
// existing target is replaced unless it is read-only, which Windows refuses and Wine would not.
void MoveOverTarget(const std::string& temporary, const std::string& path)
{
    if (::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
        return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        ThrowIoError(error);
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ThrowIoError(ERROR_ACCESS_DENIED);
    if (!::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastIoError();
}

}  // namespace

void WriteFileReplacing(const std::string& path, const void* data, DWORD size)
{
    std::string temporary;
    File file = CreateTemporaryBeside(path, temporary);
    try {
        file.Write(data, size);
        file.Flush();
        file.Close();
        MoveOverTarget(temporary, path);
    } catch (...) {
        file.Close();
        ::DeleteFileA(temporary.c_str());
        throw;
    }
}

}  // namespace win
