// A main window that fails on purpose, for the crash report's end-to-end tests. The first argument
// says how:
//   create         the first listing, on its worker thread, throws
//   handler        a later refill, inside a message handler, throws
//   access         a later refill writes through a null pointer (a structured exception)
//   worker         a worker thread writes through a null pointer
//   threads N      N worker threads write through a null pointer at once
//   nullthread     a thread starts at address 0
//   throwinreport  as handler, and the report's writing throws after its first stack line
//   faultinreport  as handler, and the report's writing faults after its first stack line
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Application.h"
#include "help/HTMLHelp.h"
#include "app/MainWindow.h"
#include "app/Modules.h"
#include "faults/FatalError.h"
#include "puzzles/FolderListing.h"
#include "settings/Settings.h"

namespace {

class ListFailure : public std::runtime_error {
public:
    ListFailure() : std::runtime_error("the puzzle list could not be filled\r\non purpose") {}
};

class ReportFailure : public std::runtime_error {
public:
    ReportFailure() : std::runtime_error("the report failed on purpose") {}
};

volatile int* nowhere = nullptr;
HANDLE go = nullptr;
volatile LONG waiting = 0;

[[gnu::noinline]] void FailOnRefill(const std::string& mode)
{
    static int refills = 0;
    if (mode == "create" || ++refills >= 2) {
        if (mode == "access")
            *nowhere = 1;
        throw ListFailure();
    }
}

DWORD WINAPI WorkerFault(LPVOID)
{
    ::InterlockedIncrement(&waiting);
    ::WaitForSingleObject(go, INFINITE);
    *nowhere = 2;
    return 0;
}

// Worker threads that fault together once they are all waiting.
void StartFaultingWorkers(int count)
{
    go = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (int i = 0; i < count; ++i)
        ::CloseHandle(::CreateThread(nullptr, 0, &WorkerFault, nullptr, 0, nullptr));
    while (waiting < count)
        ::SwitchToThread();
    ::SetEvent(go);
}

void StartFailures(const std::string& mode)
{
    if (mode == "worker")
        StartFaultingWorkers(1);
    else if (mode == "threads")
        StartFaultingWorkers(__argc > 2 ? std::atoi(__argv[2]) : 2);
    else if (mode == "nullthread")
        ::CloseHandle(::CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr));
    else if (mode == "throwinreport")
        faults::SetReportSeams({.step = [] { throw ReportFailure(); }});
    else if (mode == "faultinreport")
        faults::SetReportSeams({.step = [] { *nowhere = 3; }});
}

bool FailsOnRefill(const std::string& mode)
{
    return mode == "create" || mode == "handler" || mode == "access" || mode == "throwinreport" ||
           mode == "faultinreport";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    app::InitializeModules();
    Settings config;
    config.Load();
    const std::string mode = __argc > 1 ? __argv[1] : "";
    const std::string refillMode = mode == "throwinreport" || mode == "faultinreport" ? "handler" : mode;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    help::SetHelpFile(app::kHelpFileName);
    const bool failing = FailsOnRefill(mode);
    MainWindow window(config, [failing, refillMode](const std::string& repository) {
        if (failing)
            FailOnRefill(refillMode);
        return puzzles::ListPuzzleFiles(repository);
    });
    if (window.Create()) {
        window.Show();
        StartFailures(mode);
        // A failing refill after the start: a new repository folder makes the watcher ask for one.
        if (failing && refillMode != "create") {
            const std::string other = config.GetRepository() + "\\Other";
            ::CreateDirectoryA(other.c_str(), nullptr);
            config.SetRepository(other);
        }
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    config.Save();
    return 0;
}
