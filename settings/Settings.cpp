#include "settings/Settings.h"

#include <cstring>

#include "core/Text.h"
#include "jre/JavaDiscovery.h"
#include "core/ConfigRules.h"
#include "win/Dpi.h"
#include "win/Paths.h"

using namespace config_names;

namespace {

constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kFallbackCommonAppData = "C:\\Documents and Settings\\All Users\\Application Data\\";
constexpr const char* kRepositorySubfolder = "Orvanel\\Gridlark";
constexpr const char* kWriteProbe = "amdk328wlskdjf";

settings::Bounds PrimaryWorkArea()
{
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

}  // namespace

std::string Settings::DefaultRepository() const { return CommonAppDataFolder() + kRepositorySubfolder; }

void Settings::Load()
{
    repository_ = DefaultRepository();
    registry_ = std::make_unique<win::RegistryAccessor>(HKEY_LOCAL_MACHINE);
    win::ScopeExit release([this] { registry_.reset(); });
    LoadMachinePaths();
    AllUsersSame = ReadAllUsersSame();
    LoadNoSoundAndCreateRepository();
    if (std::string found = jre::SearchJavaFolder(); !found.empty())
        JavaPath = found;
    else if (text::Trim(JavaPath).empty())
        // Taken for this run only, as the search path's find is: a Save stores it.
        JavaPath = jre::DiscoverJavaFolder();
    LoadWindowValues();
}

void Settings::LoadMachinePaths()
{
    registry_->SetRoot(HKEY_LOCAL_MACHINE);
    if (!registry_->OpenKey(ProductKeyPath, true))
        return;
    // A relative folder would name whatever the current folder holds: it counts as none.
    if (auto javaPath = ReadPath(kJavaPath, expandableJavaPath_);
        javaPath && text::IsAbsolutePath(text::Trim(*javaPath)))
        JavaPath = *javaPath;
    // An empty stored repository would leave the program without a folder: the default serves.
    if (auto repository = ReadPath(kRepository, expandableRepository_); repository && !text::Trim(*repository).empty())
        repository_ = *repository;
    registry_->CloseKey();
}

// A text value, or an expandable one (as an administrator may write it) expanded.
std::optional<std::string> Settings::ReadPath(const char* name, std::optional<ExpandablePath>& expandable)
{
    expandable.reset();
    bool isExpandable = false;
    auto value = registry_->ReadText(name, isExpandable);
    if (!value || !isExpandable)
        return value;
    expandable = ExpandablePath{*value, win::ExpandEnvironment(*value)};
    return expandable->expanded;
}

void Settings::WritePath(const char* name, const std::string& value, const std::optional<ExpandablePath>& expandable)
{
    if (expandable && expandable->expanded == value)
        registry_->WriteExpandableString(name, expandable->stored);
    else
        registry_->WriteString(name, value);
}

void Settings::LoadNoSoundAndCreateRepository()
{
    registry_->SetRoot(NoSoundRoot());
    if (!registry_->OpenKey(ProductKeyPath, true))
        return;
    NoSound = registry_->ReadInteger(kNoSound).value_or(0) != 0;
    if (!win::DirectoryExists(repository_))
        win::ForceDirectories(repository_);
    registry_->CloseKey();
}

void Settings::LoadWindowValues()
{
    registry_->SetRoot(HKEY_CURRENT_USER);
    if (!registry_->OpenKey(ProductKeyPath, true))
        return;
    if (auto block = registry_->ReadBinary(kMainWindow, 16)) {
        std::int32_t values[4];
        std::memcpy(values, block->data(), sizeof(values));
        MainWindowLeft = values[0];
        MainWindowTop = values[1];
        MainWindowWidth = values[2];
        MainWindowHeight = values[3];
        MainWindowDpi = settings::StoredDpi(registry_->ReadInteger(kMainWindowDpi).value_or(0));
    } else {
        MainWindowDpi = win::WindowDpi(nullptr);
        settings::Bounds bounds = settings::DefaultMainWindowBounds(PrimaryWorkArea(), MainWindowDpi);
        MainWindowLeft = bounds.left;
        MainWindowTop = bounds.top;
        MainWindowWidth = bounds.width;
        MainWindowHeight = bounds.height;
    }
    MainWindowMaximized = registry_->ReadInteger(kMainWindowMaximized).value_or(0) != 0;
    // Widths not stored yet are those of 96 DPI, at the DPI of the stored bounds.
    const auto width = [this](const char* name, std::int32_t fallback) {
        const auto stored = registry_->ReadInteger(name);
        return stored ? static_cast<std::int32_t>(*stored)
                      : settings::ScaledToDpi(fallback, settings::kBaseDpi, MainWindowDpi);
    };
    Column1Width = width(kColumn1, 250);
    Column2Width = width(kColumn2, 150);
    Column3Width = width(kColumn3, 130);
    ListSort = registry_->ReadInteger(kListSort).value_or(0);
    registry_->CloseKey();
}

bool Settings::ReadAllUsersSame()
{
    bool candidate = true;
    win::RegistryAccessor reader(HKEY_LOCAL_MACHINE);
    if (reader.OpenKeyReadOnly(ProductKeyPath))
        candidate = reader.ReadInteger(kAllUsersSame).value_or(1) != 0;
    return candidate && IsRegistryKeyWritable(HKEY_LOCAL_MACHINE, ProductKeyPath);
}

void Settings::Save()
{
    registry_ = std::make_unique<win::RegistryAccessor>(HKEY_LOCAL_MACHINE);
    win::ScopeExit release([this] { registry_.reset(); });
    // One write test serves both machine-key steps.
    const bool machineWritable = IsRegistryKeyWritable(HKEY_LOCAL_MACHINE, ProductKeyPath);
    if (machineWritable) {
        registry_->SetRoot(HKEY_LOCAL_MACHINE);
        if (registry_->OpenKey(ProductKeyPath, true)) {
            // Only an absolute folder, or none, is stored for every later start.
            if (text::IsAbsolutePath(text::Trim(JavaPath)) || text::Trim(JavaPath).empty())
                WritePath(kJavaPath, JavaPath, expandableJavaPath_);
            WritePath(kRepository, GetRepository(), expandableRepository_);
            registry_->CloseKey();
        }
    }
    SaveAllUsersSame(machineWritable);
    registry_->SetRoot(NoSoundRoot());
    if (registry_->OpenKey(ProductKeyPath, true)) {
        registry_->WriteInteger(kNoSound, NoSound ? 1 : 0);
        registry_->CloseKey();
    }
    SaveWindowValues();
}

void Settings::SaveAllUsersSame(bool machineWritable)
{
    AllUsersSame = AllUsersSame && machineWritable;
    if (!machineWritable)
        return;
    registry_->SetRoot(HKEY_LOCAL_MACHINE);
    if (registry_->OpenKey(ProductKeyPath, true)) {
        registry_->WriteInteger(kAllUsersSame, AllUsersSame ? 1 : 0);
        registry_->CloseKey();
    }
}

void Settings::SaveWindowValues()
{
    registry_->SetRoot(HKEY_CURRENT_USER);
    if (!registry_->OpenKey(ProductKeyPath, true))
        return;
    const std::int32_t block[4] = {MainWindowLeft, MainWindowTop, MainWindowWidth, MainWindowHeight};
    registry_->WriteBinary(kMainWindow, block, sizeof(block));
    registry_->WriteInteger(kMainWindowMaximized, MainWindowMaximized ? 1 : 0);
    registry_->WriteInteger(kMainWindowDpi, MainWindowDpi);
    registry_->WriteInteger(kColumn1, static_cast<std::uint32_t>(Column1Width));
    registry_->WriteInteger(kColumn2, static_cast<std::uint32_t>(Column2Width));
    registry_->WriteInteger(kColumn3, static_cast<std::uint32_t>(Column3Width));
    registry_->WriteInteger(kListSort, ListSort);
    registry_->CloseKey();
}

std::string Settings::GetRepository()
{
    win::CriticalSectionLock lock(repositoryLock_);
    return repository_;
}

void Settings::SetRepository(const std::string& repository)
{
    std::string copy = repository;
    win::CriticalSectionLock lock(repositoryLock_);
    repository_.swap(copy);
}

std::string Settings::CommonAppDataFolder()
{
    win::RegistryAccessor reader(HKEY_LOCAL_MACHINE);
    if (reader.OpenKeyReadOnly(kShellFoldersKey)) {
        // A value of blanks names no folder: it falls back like a missing one.
        std::string value = reader.ReadString("Common AppData").value_or("");
        if (!text::Trim(value).empty())
            return text::IncludeTrailingBackslash(value);
    }
    return kFallbackCommonAppData;
}

bool Settings::IsRegistryKeyWritable(HKEY root, const std::string& keyPath)
{
    win::RegistryAccessor accessor(root);
    if (!accessor.KeyExists(keyPath))
        return accessor.CreateKey(keyPath);
    if (!accessor.OpenKey(keyPath, false))
        return false;
    bool writable = accessor.WriteInteger(kWriteProbe, 0) && accessor.ValueExists(kWriteProbe);
    if (writable)
        writable = accessor.DeleteValue(kWriteProbe);
    return writable;
}
