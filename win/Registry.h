// The registry accessor: one root at a time, one open key at a time, every failure reported
// as a false or empty result and never thrown.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "win/Handles.h"

namespace win {

// The longest text value read; a longer one reads as absent.
inline constexpr DWORD kMaxRegistryText = 4096;

class RegistryAccessor {
public:
    explicit RegistryAccessor(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    void SetRoot(HKEY root);
    HKEY Root() const { return root_; }

    // Opens the key for reading and writing (full access), creating it when missing if asked.
    bool OpenKey(const std::string& path, bool canCreate);
    // view: KEY_WOW64_64KEY or KEY_WOW64_32KEY to read one registry view, 0 for the process's own.
    bool OpenKeyReadOnly(const std::string& path, REGSAM view = 0);
    bool KeyExists(const std::string& path) const;
    bool CreateKey(const std::string& path) const;
    void CloseKey() { key_.reset(); }
    bool IsOpen() const { return static_cast<bool>(key_); }

    bool ValueExists(const std::string& name) const;
    // Each read accepts only its own value type and size; anything else reads as absent.
    std::optional<std::string> ReadString(const std::string& name) const;
    // A text stored as REG_SZ or REG_EXPAND_SZ, unexpanded; expandable tells which.
    std::optional<std::string> ReadText(const std::string& name, bool& expandable) const;
    std::optional<std::uint32_t> ReadInteger(const std::string& name) const;
    std::optional<std::vector<BYTE>> ReadBinary(const std::string& name, DWORD size) const;

    bool WriteString(const std::string& name, const std::string& value) const;
    bool WriteExpandableString(const std::string& name, const std::string& value) const;
    bool WriteInteger(const std::string& name, std::uint32_t value) const;
    bool WriteBinary(const std::string& name, const void* data, DWORD size) const;
    bool DeleteValue(const std::string& name) const;

private:
    std::optional<std::string> ReadTextOfType(const std::string& name, DWORD type) const;
    bool WriteTextOfType(const std::string& name, const std::string& value, DWORD type) const;
    std::optional<DWORD> ValueType(const std::string& name, DWORD& size) const;
    // A value of exactly this type and size, or nothing.
    std::optional<std::vector<BYTE>> ReadExact(const std::string& name, DWORD type, DWORD size) const;

    HKEY root_;
    UniqueHKey key_;
};

// Test seam: makes every opening of the root for writing fail with access denied, as it does for a
// user who may not write there. Reading stays possible.
void DenyRegistryWrites(HKEY root, bool deny);
bool AreRegistryWritesDenied(HKEY root);

}  // namespace win
