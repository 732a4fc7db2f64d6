// A main window that fails on purpose, for the crash report's end-to-end tests:
//   crashtest create   the first refill, inside the window's creation, throws
//   crashtest handler  a later refill, inside a message handler, throws
//   crashtest access   a later refill reads through a null pointer (a structured exception)
#include <windows.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "app/Application.h"
#include "app/Main.h"
#include "app/Modules.h"
#include "settings/Configs.h"

namespace {

class ListFailure : public std::runtime_error {
public:
    ListFailure() : std::runtime_error("the puzzle list could not be filled\r\non purpose") {}
};

volatile int* nowhere = nullptr;

void FailOnRefill(const std::string& mode)
{
    static int refills = 0;
    if (mode == "create" || ++refills >= 2) {
        if (mode == "access")
            *nowhere = 1;
        throw ListFailure();
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    app::InitializeModules();
    TConfig config;
    Config = &config;
    config.Load();
    const std::string mode = __argc > 1 ? __argv[1] : "";
    TMainWin::RefillProbe = [mode] { FailOnRefill(mode); };
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    app::SetHelpFile(app::kHelpFileName);
    TMainWin window;
    MainWin = &window;
    if (window.Create()) {
        window.Show();
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    config.Save();
    return 0;
}
