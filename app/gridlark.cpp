// The program's entry: loads the settings, then either plays the puzzle named after "--play" and
// ends, or runs the main window until it closes. A second start without "--play" hands its
// collection files to the main window that already runs, and ends.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "core/CommandLine.h"
#include "app/Launcher.h"
#include "app/MainWindow.h"
#include "app/Modules.h"
#include "app/SingleInstance.h"
#include "help/HTMLHelp.h"
#include "settings/Settings.h"
#include "win/ExceptionHook.h"
#include "win/Paths.h"

namespace {

constexpr const char* kPlayArgument = "--play";

// The index of the first "--play" among the arguments after the program's own path, or 0.
int FindPlayArgument()
{
    for (int i = 1; i < __argc; ++i)
        if (std::string(__argv[i]) == kPlayArgument)
            return i;
    return 0;
}

void RunMessageLoop()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        try {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        } catch (...) {
            win::HandleException(win::CaughtException::Current());
        }
    }
}

int RunMainWindow(Settings& settings)
{
    // Made absolute here: the running window that may receive them has another current folder.
    auto imports = app::ImportArguments(std::vector<std::string>(__argv, __argv + __argc));
    for (auto& file : imports)
        file = win::FullPath(file);
    app::InstanceClaim claim;
    if (!claim.First() && app::HandOverToRunningWindow(imports))
        return 0;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    help::SetHelpFile(app::kHelpFileName);
    help::SetTitle(app::kTitle);
    app::SetTitle(app::kTitle);
    MainWindow window(settings);
    if (window.Create()) {
        window.OpenImportsLater(imports);
        window.Show();
        RunMessageLoop();
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    app::InitializeModules();
    Settings settings;
    settings.Load();
    if (int play = FindPlayArgument()) {
        LoadHelpLibrary();
        PlayPuzzle(settings, play + 1 < __argc ? win::FullPath(__argv[play + 1]) : "", nullptr);
        // A "--play" start ends here: nothing is saved and nothing else runs.
        app::FinalizeModules();
        ::ExitProcess(0);
    }
    int exitCode = RunMainWindow(settings);
    app::FinalizeModules();
    return exitCode;
}
