// Move-only owners for Windows handles; each closes its handle exactly once.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace win {

template <typename Traits>
class Unique {
public:
    using Type = typename Traits::Type;

    Unique() = default;
    explicit Unique(Type value) : value_(value) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Type get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }
    Type release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(Type value = Traits::Invalid())
    {
        if (Traits::IsValid(value_))
            Traits::Close(value_);
        value_ = value;
    }
    // For APIs that hand back a handle through a pointer.
    Type* put()
    {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};

template <typename T, auto CloseFn>
struct NullTraits {
    using Type = T;
    static T Invalid() { return nullptr; }
    static bool IsValid(T value) { return value != nullptr; }
    static void Close(T value) { CloseFn(value); }
};

struct HandleTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};

struct ChangeNotificationTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindCloseChangeNotification(h); }
};

inline void CloseKey(HKEY key) { ::RegCloseKey(key); }
inline void ReleaseModule(HMODULE module) { ::FreeLibrary(module); }
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }
inline void DestroyMenuHandle(HMENU menu) { ::DestroyMenu(menu); }
inline void DestroyWindowHandle(HWND window) { ::DestroyWindow(window); }
inline void DestroyImageList(HIMAGELIST list) { ::ImageList_Destroy(list); }
inline void UnmapView(const void* view) { ::UnmapViewOfFile(view); }

using UniqueHandle = Unique<HandleTraits>;
using UniqueFindHandle = Unique<FindHandleTraits>;
using UniqueChangeNotification = Unique<ChangeNotificationTraits>;
using UniqueHKey = Unique<NullTraits<HKEY, CloseKey>>;
using UniqueHModule = Unique<NullTraits<HMODULE, ReleaseModule>>;
using UniqueGdiObject = Unique<NullTraits<HGDIOBJ, DeleteGdiObject>>;
using UniqueHFont = Unique<NullTraits<HFONT, DeleteGdiObject>>;
using UniqueHIcon = Unique<NullTraits<HICON, DestroyIconHandle>>;
using UniqueHMenu = Unique<NullTraits<HMENU, DestroyMenuHandle>>;
using UniqueHWnd = Unique<NullTraits<HWND, DestroyWindowHandle>>;
using UniqueImageList = Unique<NullTraits<HIMAGELIST, DestroyImageList>>;
using UniqueMappedView = Unique<NullTraits<const void*, UnmapView>>;

// A critical section owned for its lifetime.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { ::EnterCriticalSection(&section_); }
    void Leave() { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Holds a critical section for one scope, left on every path.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~CriticalSectionLock() { section_.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& section_;
};

// Runs a function when the scope ends, also when an exception passes.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

// Shows the hourglass for one scope and restores the previous cursor.
class HourglassCursor {
public:
    HourglassCursor() : previous_(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~HourglassCursor() { ::SetCursor(previous_); }
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

private:
    HCURSOR previous_;
};

// Suspends repainting of a window for one scope, then has it repainted whole.
class RedrawSuspended {
public:
    explicit RedrawSuspended(HWND window) : window_(window) { ::SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawSuspended()
    {
        ::SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

private:
    HWND window_;
};

}  // namespace win
