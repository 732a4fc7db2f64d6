#include "settings/Installation.h"

#include <windows.h>

#include "core/VersionRules.h"
#include "settings/Settings.h"
#include "win/LazyApi.h"
#include "win/Paths.h"

std::string ProgramVersionText(const VersionResource& info)
{
    return version::ProgramVersionText({info.Major, info.Minor, info.Release, info.Build});
}

std::string LongPathName(const std::string& path)
{
    using GetLongPathNameFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
    static const auto getLongPathName = win::LazyProc<GetLongPathNameFn>("kernel32.dll", "GetLongPathNameA");
    if (getLongPathName == nullptr)
        return path;
    char buffer[MAX_PATH];
    DWORD n = getLongPathName(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return path;
    return std::string(buffer, n);
}

void Settings::RecordInstallation(const std::string& programVersion)
{
    registry_ = std::make_unique<win::RegistryAccessor>(HKEY_LOCAL_MACHINE);
    win::ScopeExit release([this] { registry_.reset(); });
    if (!IsRegistryKeyWritable(HKEY_LOCAL_MACHINE, ProductKeyPath) || !registry_->OpenKey(ProductKeyPath, true))
        return;
    bool mustWrite =
        !registry_->ValueExists(config_names::kInstallPath) || !registry_->ValueExists(config_names::kVersion);
    if (!mustWrite)
        mustWrite = version::IsNewerVersion(programVersion, registry_->ReadString(config_names::kVersion).value_or(""));
    if (mustWrite) {
        registry_->WriteString(config_names::kInstallPath, LongPathName(win::ProgramFolder()));
        registry_->WriteString(config_names::kVersion, programVersion);
    }
    registry_->CloseKey();
}
