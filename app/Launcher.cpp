#include "app/Launcher.h"

#include <optional>

#include "app/Application.h"
#include "core/LaunchRules.h"
#include "jre/JavaDiscovery.h"
#include "jre/JavaNotice.h"
#include "core/Text.h"
#include "settings/Settings.h"
#include "win/Messages.h"
#include "win/Paths.h"
#include "win/LazyApi.h"

namespace {

// The Java program: the setting's folder, else the folder found along the search path's absolute
// entries, which the settings object keeps for the rest of the run. Nothing when neither holds
// one: the bare name is never handed to the shell, which would look in the current folder.
std::optional<std::string> JavaProgram(Settings& settings)
{
    if (auto program = launch::JavaProgramFromSetting(settings.JavaPath))
        return program;
    const std::string found = jre::SearchJavaFolder();
    if (found.empty())
        return std::nullopt;
    settings.JavaPath = found;
    return found + launch::kJavaProgram;
}

}  // namespace

void PlayPuzzle(Settings& settings, const std::string& file, HWND owner)
{
    const std::string kind = launch::KindExtension(win::UpperCase(text::ExtractFileExt(file)));
    const std::string programFolder = win::ProgramFolder();
    const std::string gameProgram = launch::PresenceGameProgram(kind);
    if (!win::FileExists(programFolder + gameProgram)) {
        win::ShowMessage(nullptr, launch::MissingGameProgramMessage(gameProgram), win::ProgramFileName().c_str(),
                         MB_ICONERROR | MB_OK);
        return;
    }
    const auto javaProgram = JavaProgram(settings);
    const std::string parameters = launch::LaunchParameters(kind, file, settings.NoSound);
    const auto result =
        javaProgram ? reinterpret_cast<INT_PTR>(win::OpenWithShell(nullptr, "open", javaProgram->c_str(),
                                                                   parameters.c_str(), programFolder.c_str(), SW_SHOW))
                    : INT_PTR{SE_ERR_FNF};
    if (result == SE_ERR_FNF)
        JavaNotice(app::Title()).ShowModal(owner);
}
