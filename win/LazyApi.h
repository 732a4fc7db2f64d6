// Calls into system libraries that the program needs only on demand (the shell, the common
// dialogs, sounds). They are loaded at their first use instead of at start-up, which keeps the
// start fast and the working set small.
#pragma once
#include <windows.h>

#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace win {

// Takes the current folder out of the library search, and where the system allows, limits the
// search to the program's folder and the system's folders. Answers whether the limit was set;
// without it a bare library name may still be searched for along the PATH.
bool RestrictLibrarySearch();
// LOAD_LIBRARY_SEARCH_DEFAULT_DIRS: the program's folder and the system's folders only.
inline constexpr DWORD kSearchDefaultDirs = 0x00001000;
// A library loaded from the system folder by its full path, or none.
HMODULE LoadSystemLibrary(const char* name);

// The export of a loaded library as the function type it is called through; null when missing.
template <typename Fn>
Fn ProcOf(HMODULE library, const char* name)
{
    return library != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name)))
                              : nullptr;
}

// The export of a system library, loaded on first use from the system folder; the library stays
// loaded for the process. Null where the system has no such export.
template <typename Fn>
Fn LazyProc(const char* module, const char* name)
{
    HMODULE library = ::GetModuleHandleA(module);
    if (library == nullptr)
        library = LoadSystemLibrary(module);
    return ProcOf<Fn>(library, name);
}

HINSTANCE OpenWithShell(HWND owner, const char* operation, const char* file, const char* parameters, const char* folder,
                        int show);
int RunFileOperation(SHFILEOPSTRUCTA* operation);
BOOL ShowOpenFileDialog(OPENFILENAMEA* dialog);
BOOL PlaySystemSound(const char* sound, DWORD flags);
// Files dropped on a window: whether it takes them, the dropped paths and the drop's end.
void AcceptDroppedFiles(HWND window, bool accept);
UINT DroppedFile(HDROP drop, UINT index, wchar_t* path, UINT size);
void FinishDrop(HDROP drop);
// A special folder's path (SHGetFolderPathA); path holds MAX_PATH characters.
bool ShellFolderPath(int csidl, char* path);
// The shell namespace, for the folder chooser's tree.
HRESULT ShellDesktopFolder(IShellFolder** folder);
DWORD_PTR ShellFileInfo(PCIDLIST_ABSOLUTE item, SHFILEINFOA* info, UINT flags);
PIDLIST_ABSOLUTE CombineItemIds(PCIDLIST_ABSOLUTE parent, PCUITEMID_CHILD child);
void FreeItemIds(LPITEMIDLIST ids);
// Whether the ids name the folder itself or one inside it, at any depth.
bool ItemIdsWithin(PCIDLIST_ABSOLUTE folder, PCIDLIST_ABSOLUTE item);
// Opens Explorer on the folder with the files, each a full path inside it, selected
// (SHOpenFolderAndSelectItems); without files, opens the folder. Answers the shell's result.
HRESULT ShowInExplorer(HWND owner, const std::string& folder, const std::vector<std::string>& files);
// A display name the shell handed back, as text; the name's own memory is released.
std::string TextOfShellName(STRRET& name, PCUITEMID_CHILD item);
// COM for the calling thread, for one scope.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialized_ = false;
};

// timeBeginPeriod (begin) or timeEndPeriod; answers whether the call succeeded.
bool SetTimerResolution(UINT milliseconds, bool begin);

}  // namespace win
