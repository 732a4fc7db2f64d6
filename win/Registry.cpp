#include "win/Registry.h"

#include <atomic>
#include <cstring>

namespace win {
namespace {

std::atomic<bool> denyMachineWrites{false};
std::atomic<bool> denyUserWrites{false};

std::atomic<bool>* DenialFlag(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return &denyMachineWrites;
    if (root == HKEY_CURRENT_USER)
        return &denyUserWrites;
    return nullptr;
}

}  // namespace

void DenyRegistryWrites(HKEY root, bool deny)
{
    if (auto* flag = DenialFlag(root))
        flag->store(deny);
}

bool AreRegistryWritesDenied(HKEY root)
{
    auto* flag = DenialFlag(root);
    return flag != nullptr && flag->load();
}

void RegistryAccessor::SetRoot(HKEY root)
{
    CloseKey();
    root_ = root;
}

bool RegistryAccessor::OpenKey(const std::string& path, bool canCreate)
{
    CloseKey();
    if (AreRegistryWritesDenied(root_))
        return false;
    HKEY key = nullptr;
    LONG rc = canCreate ? ::RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                            nullptr, &key, nullptr)
                        : ::RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS)
        return false;
    key_.reset(key);
    return true;
}

bool RegistryAccessor::OpenKeyReadOnly(const std::string& path, REGSAM view)
{
    CloseKey();
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    key_.reset(key);
    return true;
}

bool RegistryAccessor::KeyExists(const std::string& path) const
{
    UniqueHKey key;
    return ::RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool RegistryAccessor::CreateKey(const std::string& path) const
{
    if (AreRegistryWritesDenied(root_))
        return false;
    UniqueHKey key;
    return ::RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                             key.put(), nullptr) == ERROR_SUCCESS;
}

std::optional<DWORD> RegistryAccessor::ValueType(const std::string& name, DWORD& size) const
{
    if (!key_)
        return std::nullopt;
    DWORD type = 0;
    size = 0;
    if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

bool RegistryAccessor::ValueExists(const std::string& name) const
{
    DWORD size = 0;
    return ValueType(name, size).has_value();
}

std::optional<std::string> RegistryAccessor::ReadString(const std::string& name) const
{
    return ReadTextOfType(name, REG_SZ);
}

std::optional<std::string> RegistryAccessor::ReadText(const std::string& name, bool& expandable) const
{
    DWORD size = 0;
    expandable = ValueType(name, size) == REG_EXPAND_SZ;
    return ReadTextOfType(name, expandable ? REG_EXPAND_SZ : REG_SZ);
}

std::optional<std::string> RegistryAccessor::ReadTextOfType(const std::string& name, DWORD expected) const
{
    DWORD size = 0;
    if (ValueType(name, size) != expected || size > kMaxRegistryText)
        return std::nullopt;
    // One byte more than the stored size, zeroed: a value stored without its terminator still ends.
    std::string buffer(size + 1, '\0');
    DWORD type = 0;
    DWORD read = size;
    if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
            ERROR_SUCCESS ||
        type != expected || read > size)
        return std::nullopt;
    buffer.resize(read);
    if (auto end = buffer.find('\0'); end != std::string::npos)
        buffer.resize(end);
    return buffer;
}

std::optional<std::vector<BYTE>> RegistryAccessor::ReadExact(const std::string& name, DWORD type, DWORD size) const
{
    DWORD stored = 0;
    if (ValueType(name, stored) != type || stored != size)
        return std::nullopt;
    std::vector<BYTE> bytes(size);
    DWORD readType = 0;
    DWORD read = size;
    if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &readType, bytes.data(), &read) != ERROR_SUCCESS ||
        readType != type || read != size)
        return std::nullopt;
    return bytes;
}

std::optional<std::uint32_t> RegistryAccessor::ReadInteger(const std::string& name) const
{
    auto bytes = ReadExact(name, REG_DWORD, sizeof(DWORD));
    if (!bytes)
        return std::nullopt;
    DWORD value = 0;
    std::memcpy(&value, bytes->data(), sizeof(value));
    return value;
}

std::optional<std::vector<BYTE>> RegistryAccessor::ReadBinary(const std::string& name, DWORD size) const
{
    return ReadExact(name, REG_BINARY, size);
}

bool RegistryAccessor::WriteString(const std::string& name, const std::string& value) const
{
    return WriteTextOfType(name, value, REG_SZ);
}

bool RegistryAccessor::WriteExpandableString(const std::string& name, const std::string& value) const
{
    return WriteTextOfType(name, value, REG_EXPAND_SZ);
}

bool RegistryAccessor::WriteTextOfType(const std::string& name, const std::string& value, DWORD type) const
{
    return key_ && ::RegSetValueExA(key_.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryAccessor::WriteInteger(const std::string& name, std::uint32_t value) const
{
    DWORD data = value;
    return key_ && ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                    sizeof(data)) == ERROR_SUCCESS;
}

bool RegistryAccessor::WriteBinary(const std::string& name, const void* data, DWORD size) const
{
    return key_ && ::RegSetValueExA(key_.get(), name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), size) ==
                       ERROR_SUCCESS;
}

bool RegistryAccessor::DeleteValue(const std::string& name) const
{
    return key_ && ::RegDeleteValueA(key_.get(), name.c_str()) == ERROR_SUCCESS;
}

}  // namespace win
