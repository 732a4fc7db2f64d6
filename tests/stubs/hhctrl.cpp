// Stands in for the help viewer's library where it must never be found: when loaded, it appends
// one line to the file named by GRIDLARK_STUB_LOG, in the recorder's form: its own file name,
// its full path, and the working folder.
#include <windows.h>

#include <string>

namespace {

void RecordLoad(HINSTANCE self)
{
    char log[MAX_PATH * 2] = {};
    if (::GetEnvironmentVariableA("GRIDLARK_STUB_LOG", log, sizeof(log)) == 0)
        return;
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(self, path, sizeof(path));
    char folder[MAX_PATH * 2] = {};
    ::GetCurrentDirectoryA(sizeof(folder), folder);
    const std::string line = std::string("hhctrl.ocx|") + path + "|" + folder + "\n";
    HANDLE file = ::CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

extern "C" __declspec(dllexport) HWND WINAPI HtmlHelpA(HWND, LPCSTR, UINT, DWORD_PTR) { return nullptr; }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        RecordLoad(self);
    return TRUE;
}
