#include "win/FolderIds.h"

#include <winternl.h>

#include <cstring>

#include "win/Paths.h"

namespace win {

namespace {

// Information classes newer than the oldest supported system's headers.
constexpr auto kFileIdInformation = static_cast<FILE_INFORMATION_CLASS>(59);
constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
constexpr auto kFileFsSizeInformation = static_cast<FS_INFORMATION_CLASS>(3);

struct FileIdInformation {
    ULONGLONG VolumeSerialNumber;
    unsigned char FileId[16];
};
struct FileInternalInformation {
    LARGE_INTEGER IndexNumber;
};
struct FileFsSizeInformation {
    LARGE_INTEGER TotalAllocationUnits;
    LARGE_INTEGER AvailableAllocationUnits;
    ULONG SectorsPerAllocationUnit;
    ULONG BytesPerSector;
};

template <typename Info>
bool QueryFile(HANDLE file, Info& info, FILE_INFORMATION_CLASS kind)
{
    IO_STATUS_BLOCK status{};
    return NT_SUCCESS(::NtQueryInformationFile(file, &status, &info, sizeof(info), kind));
}

// FNV-1a over the bytes of a value that has no padding.
template <typename Value>
std::uint64_t Fold(std::uint64_t hash, const Value& value)
{
    unsigned char bytes[sizeof(Value)];
    std::memcpy(bytes, &value, sizeof(Value));
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 0x100000001B3ull;
    return hash;
}

}  // namespace

std::optional<std::uint64_t> FolderFingerprint(HANDLE folder)
{
    FileInternalInformation index{};
    FILE_BASIC_INFO basic{};
    if (!QueryFile(folder, index, kFileInternalInformation) ||
        !::GetFileInformationByHandleEx(folder, FileBasicInfo, &basic, sizeof(basic)))
        return std::nullopt;
    // The last access time is left out: listing a folder may change it.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const LARGE_INTEGER& part : {index.IndexNumber, basic.CreationTime, basic.LastWriteTime, basic.ChangeTime})
        hash = Fold(hash, part.QuadPart);
    hash = Fold(hash, static_cast<std::uint32_t>(basic.FileAttributes));
    return hash != 0 ? hash : 1;
}

std::optional<FileIdentity> IdentityOf(HANDLE file)
{
    FileIdentity identity;
    FileFsSizeInformation volume{};
    IO_STATUS_BLOCK status{};
    if (!NT_SUCCESS(::NtQueryVolumeInformationFile(file, &status, &volume, sizeof(volume), kFileFsSizeInformation)))
        return std::nullopt;
    identity.volumeUnits = volume.TotalAllocationUnits.QuadPart;
    identity.unitBytes = volume.SectorsPerAllocationUnit * volume.BytesPerSector;
    FileIdInformation id{};
    if (QueryFile(file, id, kFileIdInformation)) {
        identity.volume = id.VolumeSerialNumber;
        std::memcpy(identity.id.data(), id.FileId, sizeof(id.FileId));
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info))
        return std::nullopt;
    identity.volume = info.dwVolumeSerialNumber;
    const std::uint64_t index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    std::memcpy(identity.id.data(), &index, sizeof(index));
    return identity;
}

std::optional<FileIdentity> IdentifyFolder(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    const UniqueHandle folder = OpenForAttributes(path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !::GetFileInformationByHandle(folder.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return std::nullopt;
    return IdentityOf(folder.get());
}

std::optional<std::string> FinalPathOf(HANDLE file)
{
    std::string path(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD n = ::GetFinalPathNameByHandleA(file, path.data(), static_cast<DWORD>(path.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0)
            return std::nullopt;
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n + 1);
    }
    return std::nullopt;
}

}  // namespace win
