#include "win/LazyApi.h"

#include <memory>

#include "win/Paths.h"

namespace win {

bool RestrictLibrarySearch()
{
    ::SetDllDirectoryA("");
    // Not on every system: looked up rather than linked, so the program still starts without it.
    using Fn = BOOL(WINAPI*)(DWORD);
    const auto fn = LazyProc<Fn>("kernel32.dll", "SetDefaultDllDirectories");
    return fn != nullptr && fn(kSearchDefaultDirs);
}

HMODULE LoadSystemLibrary(const char* name)
{
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::string path(folder, length);
    if (path.back() != '\\')
        path += '\\';
    return ::LoadLibraryA((path + name).c_str());
}

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

void AcceptDroppedFiles(HWND window, bool accept)
{
    using Fn = void(WINAPI*)(HWND, BOOL);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "DragAcceptFiles");
    if (fn != nullptr)
        fn(window, accept ? TRUE : FALSE);
}

UINT DroppedFile(HDROP drop, UINT index, wchar_t* path, UINT size)
{
    using Fn = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "DragQueryFileW");
    return fn != nullptr ? fn(drop, index, path, size) : 0;
}

void FinishDrop(HDROP drop)
{
    using Fn = void(WINAPI*)(HDROP);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "DragFinish");
    if (fn != nullptr)
        fn(drop);
}

bool ShellFolderPath(int csidl, char* path)
{
    using Fn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "SHGetFolderPathA");
    return fn != nullptr && SUCCEEDED(fn(nullptr, csidl, nullptr, 0, path));
}

HRESULT ShellDesktopFolder(IShellFolder** folder)
{
    using Fn = HRESULT(WINAPI*)(IShellFolder**);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "SHGetDesktopFolder");
    return fn != nullptr ? fn(folder) : E_NOTIMPL;
}

DWORD_PTR ShellFileInfo(PCIDLIST_ABSOLUTE item, SHFILEINFOA* info, UINT flags)
{
    using Fn = DWORD_PTR(WINAPI*)(LPCSTR, DWORD, SHFILEINFOA*, UINT, UINT);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "SHGetFileInfoA");
    return fn != nullptr ? fn(reinterpret_cast<LPCSTR>(item), 0, info, sizeof(*info), flags | SHGFI_PIDL) : 0;
}

PIDLIST_ABSOLUTE CombineItemIds(PCIDLIST_ABSOLUTE parent, PCUITEMID_CHILD child)
{
    using Fn = PIDLIST_ABSOLUTE(WINAPI*)(PCIDLIST_ABSOLUTE, PCUIDLIST_RELATIVE);
    static const Fn fn = LazyProc<Fn>("shell32.dll", "ILCombine");
    return fn != nullptr ? fn(parent, child) : nullptr;
}

bool ItemIdsWithin(PCIDLIST_ABSOLUTE folder, PCIDLIST_ABSOLUTE item)
{
    using Equal = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, PCIDLIST_ABSOLUTE);
    using Parent = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, PCIDLIST_ABSOLUTE, BOOL);
    static const Equal equal = LazyProc<Equal>("shell32.dll", "ILIsEqual");
    static const Parent parent = LazyProc<Parent>("shell32.dll", "ILIsParent");
    if (equal == nullptr || parent == nullptr || folder == nullptr || item == nullptr)
        return false;
    return equal(folder, item) || parent(folder, item, FALSE);
}

void FreeItemIds(LPITEMIDLIST ids)
{
    using Fn = void(WINAPI*)(LPVOID);
    static const Fn fn = LazyProc<Fn>("ole32.dll", "CoTaskMemFree");
    if (fn != nullptr && ids != nullptr)
        fn(ids);
}

HRESULT ShowInExplorer(HWND owner, const std::string& folder, const std::vector<std::string>& files)
{
    if (files.empty()) {
        const auto result =
            reinterpret_cast<INT_PTR>(OpenWithShell(owner, "open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        return result > 32 ? S_OK : E_FAIL;
    }
    using Parse = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, PIDLIST_ABSOLUTE*, SFGAOF, SFGAOF*);
    using Open = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, UINT, PCUITEMID_CHILD_ARRAY, DWORD);
    using LastId = PUITEMID_CHILD(WINAPI*)(PCUIDLIST_RELATIVE);
    static const Parse parse = LazyProc<Parse>("shell32.dll", "SHParseDisplayName");
    static const Open open = LazyProc<Open>("shell32.dll", "SHOpenFolderAndSelectItems");
    static const LastId lastId = LazyProc<LastId>("shell32.dll", "ILFindLastID");
    if (parse == nullptr || open == nullptr || lastId == nullptr)
        return E_NOTIMPL;
    using Ids = std::unique_ptr<ITEMIDLIST, void (*)(LPITEMIDLIST)>;
    const auto parsed = [&](const std::string& path) {
        PIDLIST_ABSOLUTE ids = nullptr;
        if (FAILED(parse(WideText(path).c_str(), nullptr, &ids, 0, nullptr)))
            ids = nullptr;
        return Ids(ids, &FreeItemIds);
    };
    ComScope com;
    const Ids folderIds = parsed(folder);
    if (!folderIds)
        return E_FAIL;
    std::vector<Ids> items;
    std::vector<PCUITEMID_CHILD> children;
    for (const std::string& file : files) {
        if (Ids ids = parsed(file)) {
            children.push_back(lastId(ids.get()));
            items.push_back(std::move(ids));
        }
    }
    if (children.empty())
        return E_FAIL;
    return open(folderIds.get(), static_cast<UINT>(children.size()), children.data(), 0);
}

std::string TextOfShellName(STRRET& name, PCUITEMID_CHILD item)
{
    using Fn = HRESULT(WINAPI*)(STRRET*, PCUITEMID_CHILD, LPSTR, UINT);
    static const Fn fn = LazyProc<Fn>("shlwapi.dll", "StrRetToBufA");
    char text[MAX_PATH * 2] = {};
    if (fn == nullptr || FAILED(fn(&name, item, text, sizeof(text))))
        return {};
    return text;
}

ComScope::ComScope()
{
    using Fn = HRESULT(WINAPI*)(LPVOID, DWORD);
    static const Fn fn = LazyProc<Fn>("ole32.dll", "CoInitializeEx");
    initialized_ = fn != nullptr && SUCCEEDED(fn(nullptr, COINIT_APARTMENTTHREADED));
}

ComScope::~ComScope()
{
    using Fn = void(WINAPI*)();
    static const Fn fn = LazyProc<Fn>("ole32.dll", "CoUninitialize");
    if (initialized_ && fn != nullptr)
        fn();
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
