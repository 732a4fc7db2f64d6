#include "win/LazyApi.h"

namespace win {
namespace {

// The export of a library loaded on first use; the library stays loaded for the process.
template <typename Fn>
Fn LazyProc(const char* module, const char* name)
{
    HMODULE library = ::GetModuleHandleA(module);
    if (library == nullptr)
        library = ::LoadLibraryA(module);
    if (library == nullptr)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

}  // namespace

HINSTANCE OpenWithShell(HWND owner, const char* operation, const char* file, const char* parameters, const char* folder,
                        int show)
{
    using Fn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "ShellExecuteA");
    // Without the shell nothing can be opened; the answer is "file not found" like the shell's own.
    return fn != nullptr ? fn(owner, operation, file, parameters, folder, show)
                         : reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
}

int RunFileOperation(SHFILEOPSTRUCTA* operation)
{
    using Fn = int(WINAPI*)(LPSHFILEOPSTRUCTA);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "SHFileOperationA");
    return fn != nullptr ? fn(operation) : ERROR_PROC_NOT_FOUND;
}

BOOL ShowOpenFileDialog(OPENFILENAMEA* dialog)
{
    using Fn = BOOL(WINAPI*)(LPOPENFILENAMEA);
    static const Fn fn = LazyProc<Fn>("comdlg32.dll", "GetOpenFileNameA");
    return fn != nullptr && fn(dialog);
}

BOOL PlaySystemSound(const char* sound, DWORD flags)
{
    using Fn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    static const Fn fn = LazyProc<Fn>("winmm.dll", "PlaySoundA");
    return fn != nullptr && fn(sound, nullptr, flags);
}

bool SetTimerResolution(UINT milliseconds, bool begin)
{
    using Fn = MMRESULT(WINAPI*)(UINT);
    static const Fn beginPeriod = LazyProc<Fn>("winmm.dll", "timeBeginPeriod");
    static const Fn endPeriod = LazyProc<Fn>("winmm.dll", "timeEndPeriod");
    const Fn fn = begin ? beginPeriod : endPeriod;
    return fn != nullptr && fn(milliseconds) == TIMERR_NOERROR;
}

}  // namespace win
