// The settings object: everything the program remembers between runs, kept in the registry under
// one key path below the machine root and the user root.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/ProductKey.h"
#include "win/Handles.h"
#include "win/Registry.h"

namespace config_names {
inline constexpr const char* kJavaPath = "Java Path";
inline constexpr const char* kRepository = "Repository";
inline constexpr const char* kAllUsersSame = "All Users Same";
inline constexpr const char* kNoSound = "No Sound";
inline constexpr const char* kMainWindow = "Main Window";
inline constexpr const char* kMainWindowMaximized = "Main Window Maximized";
inline constexpr const char* kMainWindowDpi = "Main Window DPI";
inline constexpr const char* kColumn1 = "Column 1";
inline constexpr const char* kColumn2 = "Column 2";
inline constexpr const char* kColumn3 = "Column 3";
inline constexpr const char* kListSort = "List Sort";
inline constexpr const char* kInstallPath = "InstallPath";
inline constexpr const char* kVersion = "Version";
}  // namespace config_names

class Settings {
public:
    Settings() = default;
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    void Load();
    void Save();
    // Records the program's folder and its version (as ProgramVersionText gives it) in the machine
    // key when they are missing or older.
    void RecordInstallation(const std::string& programVersion);
    std::string GetRepository();
    void SetRepository(const std::string& repository);

    static std::string CommonAppDataFolder();
    static bool IsRegistryKeyWritable(HKEY root, const std::string& keyPath);

    bool AllUsersSame = false;
    bool NoSound = false;
    std::string JavaPath;
    std::int32_t MainWindowLeft = 0;
    std::int32_t MainWindowTop = 0;
    std::int32_t MainWindowWidth = 0;
    std::int32_t MainWindowHeight = 0;
    bool MainWindowMaximized = false;
    // The DPI the window's bounds and column widths are measured at.
    std::uint32_t MainWindowDpi = 96;
    std::int32_t Column1Width = 0;
    std::int32_t Column2Width = 0;
    std::int32_t Column3Width = 0;
    // The main list's sort in its stored form (0: the order of the folder listing).
    std::uint32_t ListSort = 0;

private:
    // A path stored as an expandable string ("%USERPROFILE%\\Puzzles"): its stored text and what
    // it expanded to. Saving keeps the stored form while the path is unchanged.
    struct ExpandablePath {
        std::string stored;
        std::string expanded;
    };
    std::optional<std::string> ReadPath(const char* name, std::optional<ExpandablePath>& expandable);
    void WritePath(const char* name, const std::string& value, const std::optional<ExpandablePath>& expandable);

    bool ReadAllUsersSame();
    void SaveAllUsersSame(bool machineWritable);
    HKEY NoSoundRoot() const { return AllUsersSame ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }
    void LoadMachinePaths();
    void LoadNoSoundAndCreateRepository();
    void LoadWindowValues();
    void SaveWindowValues();
    std::string DefaultRepository() const;

    // The working accessor: exists only during Load and Save.
    std::unique_ptr<win::RegistryAccessor> registry_;
    win::CriticalSection repositoryLock_;
    std::string repository_;
    std::optional<ExpandablePath> expandableRepository_;
    std::optional<ExpandablePath> expandableJavaPath_;
};
