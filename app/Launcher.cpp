#include "app/Launcher.h"

#include "app/LaunchRules.h"
#include "app/MsgForm.h"
#include "core/Text.h"
#include "settings/Configs.h"
#include "win/Paths.h"
#include "win/LazyApi.h"

namespace {

// The Java program: the setting's folder, else the folder found by the standard search, which
// the settings object keeps for the rest of the run.
std::string JavaProgram()
{
    if (auto program = launch::JavaProgramFromSetting(Config->JavaPath))
        return *program;
    if (std::string found = SearchJavaFolder(); !found.empty())
        Config->JavaPath = found;
    return Config->JavaPath + launch::kJavaProgram;
}

}  // namespace

void PlayPuzzle(const std::string& file, HWND owner)
{
    const std::string kind = launch::KindExtension(win::UpperCase(text::ExtractFileExt(file)));
    const std::string programFolder = win::ProgramFolder();
    const std::string gameProgram = launch::PresenceGameProgram(kind);
    if (!win::FileExists(programFolder + gameProgram)) {
        ::MessageBoxA(nullptr, launch::MissingGameProgramMessage(gameProgram).c_str(), win::ProgramFileName().c_str(),
                      MB_ICONERROR | MB_OK);
        return;
    }
    const std::string javaProgram = JavaProgram();
    const std::string parameters = launch::LaunchParameters(kind, file, Config->NoSound);
    auto result = reinterpret_cast<INT_PTR>(
        win::OpenWithShell(nullptr, "open", javaProgram.c_str(), parameters.c_str(), programFolder.c_str(), SW_SHOW));
    if (result == SE_ERR_FNF)
        TfrmMsg().ShowModal(owner);
}
