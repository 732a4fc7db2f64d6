#include "help/HTMLHelp.h"

#include "core/HelpRules.h"
#include "win/Messages.h"
#include "ui/Dialog.h"
#include "win/Background.h"
#include "win/LazyApi.h"
#include "win/Paths.h"

namespace {

constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
constexpr DWORD kPathBufferSize = 1000;
constexpr DWORD kViewerCloseWaitMs = 250;
constexpr const char* kHelpErrorCaption = "Help Error";
constexpr const char* kNotInstalledCaption = "HTML Help Not Installed";

std::string helpFileName;
std::string productTitle = "Gridlark";
HMODULE HelpLibrary = nullptr;
HtmlHelpFunction HtmlHelpEntry = nullptr;
HWND HelpWindow = nullptr;
bool standIn = false;
// The load on a thread of its own, while it runs or until it is waited for.
win::UniqueHandle loading;
// F1 in a dialog shows that dialog's topic.
const bool dialogHelp = (win::Dialog::SetHelpHandler(&ShowHelpTopic), true);

// The first candidate along the PATH that exists; a PATH longer than the buffer is not read.
std::string SearchLibrary()
{
    char buffer[kPathBufferSize] = {};
    const DWORD length = ::GetEnvironmentVariableA("PATH", buffer, kPathBufferSize);
    const std::string path = length < kPathBufferSize ? std::string(buffer, length) : std::string();
    for (const auto& candidate : help::LibraryCandidates(path))
        if (win::FileExists(candidate))
            return candidate;
    return {};
}

}  // namespace

void help::SetHelpFile(const std::string& name) { helpFileName = name; }

void help::SetTitle(const std::string& title) { productTitle = title; }

// The system's copy first; then the bare name, searched for only in the program's and the
// system's folders (where the system cannot limit the search, this load fails); then the
// absolute PATH entries.
void LoadHelpLibrary()
{
    if (HelpLibrary != nullptr)
        return;
    HelpLibrary = win::LoadSystemLibrary(help::kLibraryName);
    if (HelpLibrary == nullptr)
        HelpLibrary = ::LoadLibraryExA(help::kLibraryName, nullptr, win::kSearchDefaultDirs);
    if (HelpLibrary == nullptr) {
        const std::string found = SearchLibrary();
        if (!found.empty() && win::FileExists(found))
            HelpLibrary = ::LoadLibraryA(found.c_str());
    }
    if (HelpLibrary != nullptr && !standIn)
        HtmlHelpEntry = win::ProcOf<HtmlHelpFunction>(HelpLibrary, "HtmlHelpA");
}

void StartLoadingHelpLibrary()
{
    if (!loading)
        loading = win::StartBackgroundWork(&LoadHelpLibrary);
}

// A library without the entry counts as missing: its entry is never called.
bool HelpLibraryLoaded() { return (HelpLibrary != nullptr || standIn) && HtmlHelpEntry != nullptr; }

void WaitForHelpLibrary() { win::FinishBackgroundWork(loading); }

void ShowHelpTopic(const std::string& topic)
{
    WaitForHelpLibrary();
    if (!HelpLibraryLoaded()) {
        ShowHelpNotInstalled();
        return;
    }
    const std::string helpFile = helpFileName;
    const std::string path = help::HelpFilePath(helpFile, win::ProgramFolder());
    if (!win::FileExists(path)) {
        win::ShowMessage(nullptr, help::MissingFileMessage(helpFile), kHelpErrorCaption, MB_ICONERROR | MB_OK);
        return;
    }
    HelpWindow = HtmlHelpEntry(nullptr, help::TopicAddress(path, topic).c_str(), kDisplayTopic, 0);
}

void ShowHelpNotInstalled()
{
    win::ShowMessage(nullptr, help::NotInstalledMessage(productTitle), kNotInstalledCaption, MB_OK);
}

void UnloadHelpLibrary()
{
    WaitForHelpLibrary();
    if (HelpWindow != nullptr && ::IsWindow(HelpWindow))
        ::SendMessageA(HelpWindow, WM_CLOSE, 0, 0);
    HelpWindow = nullptr;
    ::Sleep(kViewerCloseWaitMs);
    if (HelpLibrary != nullptr) {
        ::FreeLibrary(HelpLibrary);
        HelpLibrary = nullptr;
    }
    HtmlHelpEntry = nullptr;
}

void SetHtmlHelpEntryForTests(HtmlHelpFunction entry)
{
    WaitForHelpLibrary();
    standIn = entry != nullptr;
    HtmlHelpEntry = entry;
}
