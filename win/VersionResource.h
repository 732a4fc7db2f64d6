// Reads a program file's version resource once per distinct file name.
#pragma once
#include <string>
#include <vector>

class VersionResource {
public:
    // Reads the running program's own file.
    VersionResource();
    explicit VersionResource(const std::string& fileName);

    const std::string& FileName() const { return FileName_; }
    void SetFileName(const std::string& fileName);
    std::string ShortVersion() const;

    std::string CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright, LegalTradeMarks,
        OriginalFilename, ProductName, ProductVersion, Comments;
    std::string FlagsText;
    std::string Major, Minor, Release, Build;

private:
    void Read();
    std::string StringValue(const char* name) const;

    std::string FileName_;
    std::vector<char> block_;
};
