#include "win/VersionResource.h"

#include <windows.h>

#include "core/VersionRules.h"
#include "win/Paths.h"

VersionResource::VersionResource() : VersionResource(win::ProgramFileName()) {}

VersionResource::VersionResource(const std::string& fileName) { SetFileName(fileName); }

void VersionResource::SetFileName(const std::string& fileName)
{
    if (fileName == FileName_ && !FileName_.empty())
        return;
    FileName_ = fileName;
    Read();
}

std::string VersionResource::StringValue(const char* name) const
{
    char* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!::VerQueryValueA(block_.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr)
        return {};
    // The length counts characters and may include the terminator; never read past it.
    return std::string(value, ::strnlen(value, length));
}

void VersionResource::Read()
{
    block_.clear();
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(FileName_.c_str(), &handle);
    if (size == 0)
        return;
    block_.resize(size);
    if (!::GetFileVersionInfoA(FileName_.c_str(), 0, size, block_.data())) {
        block_.clear();
        return;
    }
    struct Field {
        std::string* target;
        const char* name;
    };
    const Field fields[] = {{&CompanyName, "CompanyName"},           {&FileDescription, "FileDescription"},
                            {&FileVersion, "FileVersion"},           {&InternalName, "InternalName"},
                            {&LegalCopyright, "LegalCopyright"},     {&LegalTradeMarks, "LegalTradeMarks"},
                            {&OriginalFilename, "OriginalFilename"}, {&ProductName, "ProductName"},
                            {&ProductVersion, "ProductVersion"},     {&Comments, "Comments"}};
    for (const auto& f : fields)
        *f.target = StringValue(f.name);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    FlagsText.clear();
    if (::VerQueryValueA(block_.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && length >= 2 &&
        fixed != nullptr)
        FlagsText = version::FlagsText(fixed->dwFileFlags);
    auto parts = version::SplitVersion(FileVersion);
    Major = parts[0];
    Minor = parts[1];
    Release = parts[2];
    Build = parts[3];
}

std::string VersionResource::ShortVersion() const { return version::ShortVersion(FileVersion); }
