#include "jre/JavaDiscovery.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "win/VersionResource.h"
#include "core/Text.h"
#include "win/Handles.h"
#include "win/Paths.h"
#include "win/Registry.h"

namespace jre {
namespace {

constexpr const char* kJavaProgram = "javaw.exe";
// The longest path the search path's find may have, as the system's search buffer holds.
constexpr std::size_t kSearchBufferSize = 260;
constexpr const char* kJavaSoft = "SOFTWARE\\JavaSoft\\";
// The keys of the Java runtime and of the JDK, old names and new.
constexpr const char* kInstallerKeys[] = {"Java Runtime Environment", "JRE", "Java Development Kit", "JDK"};
// Under each Program Files folder: the makers' folders that hold one folder per installed version.
constexpr const char* kMakerFolders[] = {"Java", "Eclipse Adoptium", "AdoptOpenJDK", "Microsoft",
                                         "Zulu", "Amazon Corretto",  "BellSoft",     "Semeru"};

// The runtime's bin folder under an absolute home; nothing for a relative one, which would name a
// folder under whatever the current folder is.
std::string BinOf(const std::string& home)
{
    return text::IsAbsolutePath(home) ? text::IncludeTrailingBackslash(home) + "bin\\" : std::string();
}

// The current version's home under one installer key in one view.
std::string RecordedHome(const char* key, REGSAM view)
{
    win::RegistryAccessor registry(HKEY_LOCAL_MACHINE);
    const std::string path = std::string(kJavaSoft) + key;
    if (!registry.OpenKeyReadOnly(path, view))
        return {};
    const auto current = registry.ReadString("CurrentVersion");
    if (!current || current->empty() || !registry.OpenKeyReadOnly(path + "\\" + *current, view))
        return {};
    return registry.ReadString("JavaHome").value_or("");
}

// The version folders under a maker's folder, the highest name first.
std::vector<std::string> VersionFolders(const std::string& makerFolder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    win::UniqueFindHandle find(::FindFirstFileA((makerFolder + "*").c_str(), &data));
    if (!find)
        return names;
    do {
        const std::string name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(find.get(), &data));
    std::sort(names.begin(), names.end(), std::greater<>());
    return names;
}

std::vector<std::string> ProgramFilesFolders()
{
    std::vector<std::string> folders;
    for (const char* name : {"ProgramW6432", "ProgramFiles", "ProgramFiles(x86)"}) {
        const std::string folder = win::EnvironmentVariable(name);
        if (text::IsAbsolutePath(folder) && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    return folders;
}

}  // namespace

std::string SearchJavaFolder()
{
    for (const std::string& folder : text::AbsoluteSearchFolders(win::EnvironmentVariable("PATH"))) {
        const std::string program = folder + kJavaProgram;
        if (program.size() < kSearchBufferSize && win::FileExists(program))
            return folder;
    }
    return {};
}

std::vector<std::string> JavaFolderCandidates()
{
    std::vector<std::string> candidates;
    const auto add = [&](const std::string& folder) {
        if (!folder.empty())
            candidates.push_back(folder);
    };
    add(BinOf(win::EnvironmentVariable("JAVA_HOME")));
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        for (const char* key : kInstallerKeys)
            add(BinOf(RecordedHome(key, view)));
    for (const std::string& programFiles : ProgramFilesFolders()) {
        for (const char* maker : kMakerFolders) {
            const std::string makerFolder = text::IncludeTrailingBackslash(programFiles) + maker + "\\";
            for (const std::string& version : VersionFolders(makerFolder))
                add(BinOf(makerFolder + version));
        }
    }
    return candidates;
}

bool HoldsRuntime(const std::string& folder)
{
    const std::string trimmed = text::Trim(folder);
    return !trimmed.empty() && win::FileExists(text::IncludeTrailingBackslash(trimmed) + kJavaProgram);
}

std::string RuntimeVersion(const std::string& folder)
{
    if (!HoldsRuntime(folder))
        return {};
    const VersionResource info(text::IncludeTrailingBackslash(text::Trim(folder)) + kJavaProgram);
    const std::string product = text::Trim(info.ProductVersion);
    return product.empty() ? text::Trim(info.FileVersion) : product;
}

std::string DiscoverJavaFolder()
{
    for (const std::string& folder : JavaFolderCandidates())
        if (win::FileExists(folder + kJavaProgram))
            return folder;
    return {};
}

}  // namespace jre
