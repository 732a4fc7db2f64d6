#include "tests/win/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <jpeglib.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "settings/Settings.h"
#include "win/Paths.h"
#include "win/Registry.h"

namespace testing_support {

std::string DistFolder() { return win::EnvironmentVariable("GRIDLARK_DIST") + "\\"; }
std::string StubsFolder() { return win::EnvironmentVariable("GRIDLARK_STUBS") + "\\"; }

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof(temp), temp);
    path_ = std::string(temp) + "gridlark-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(counter++) + "\\";
    RemoveTree(path_);
    win::ForceDirectories(path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path)
{
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = folder + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}

void WriteFileText(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool CopyFileTo(const std::string& from, const std::string& to) { return ::CopyFileA(from.c_str(), to.c_str(), FALSE); }

GamePrograms::GamePrograms()
{
    for (const char* jar : {"Crossword.jar", "WordSearch.jar"})
        WriteFileText(win::ProgramFolder() + jar, "game");
}

GamePrograms::~GamePrograms()
{
    for (const char* jar : {"Crossword.jar", "WordSearch.jar"})
        ::DeleteFileA((win::ProgramFolder() + jar).c_str());
}

void ClearProductKeys()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ProductKeyPath);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, ProductKeyPath);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, ProductKeyPath);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, ProductKeyPath);
}

MachineKeyDenied::MachineKeyDenied() { win::DenyRegistryWrites(HKEY_LOCAL_MACHINE, true); }
MachineKeyDenied::~MachineKeyDenied() { win::DenyRegistryWrites(HKEY_LOCAL_MACHINE, false); }

StubLog::StubLog(const TempFolder& folder) : path_(folder / "stub-log.txt")
{
    ::SetEnvironmentVariableA("GRIDLARK_STUB_LOG", path_.c_str());
}

StubLog::~StubLog() { ::SetEnvironmentVariableA("GRIDLARK_STUB_LOG", nullptr); }

std::vector<StubLog::Record> StubLog::Records() const
{
    std::vector<Record> records;
    std::istringstream lines(ReadFileText(path_));
    std::string line;
    while (std::getline(lines, line)) {
        auto first = line.find('|');
        auto last = line.rfind('|');
        if (first == std::string::npos || first == last)
            continue;
        records.push_back({line.substr(0, first), line.substr(first + 1, last - first - 1), line.substr(last + 1)});
    }
    return records;
}

std::vector<StubLog::Record> StubLog::WaitFor(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::vector<Record> records;
    WaitUntil([&] { return (records = Records()).size() >= count; }, timeout);
    return records;
}

namespace {

std::string WindowText(HWND window)
{
    char buffer[4096] = {};
    ::GetWindowTextA(window, buffer, sizeof(buffer));
    return buffer;
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string WithoutAmpersands(std::string s)
{
    std::string out;
    for (char c : s)
        if (c != '&')
            out += c;
    return out;
}

std::string SystemIconName(HICON icon)
{
    struct Known {
        LPCSTR id;
        const char* name;
    };
    static const Known known[] = {{IDI_HAND, "IDI_HAND"},
                                  {IDI_QUESTION, "IDI_QUESTION"},
                                  {IDI_EXCLAMATION, "IDI_EXCLAMATION"},
                                  {IDI_ASTERISK, "IDI_ASTERISK"}};
    for (const auto& k : known)
        if (icon != nullptr && icon == ::LoadIconA(nullptr, k.id))
            return k.name;
    return {};
}

struct FindContext {
    DWORD processId;
    HWND found;
    HWND exclude = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam)
{
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == context->processId && window != context->exclude && ::IsWindowVisible(window) &&
        ClassOf(window) == "#32770") {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

CapturedWindow Capture(HWND window)
{
    CapturedWindow captured;
    captured.found = true;
    captured.caption = WindowText(window);
    captured.owner = ::GetWindow(window, GW_OWNER);
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        std::string cls = ClassOf(child);
        if (_stricmp(cls.c_str(), "Static") == 0) {
            LONG style = ::GetWindowLongA(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                captured.icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
                captured.iconName = SystemIconName(captured.icon);
            } else if (!WindowText(child).empty()) {
                captured.texts.push_back(WindowText(child));
            }
        } else if (_stricmp(cls.c_str(), "Button") == 0) {
            captured.buttons.push_back(WithoutAmpersands(WindowText(child)));
        }
    }
    return captured;
}

void ClickColumn(HWND parent, HWND list, int column)
{
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    ::SendMessageA(parent, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

void PressButton(HWND dialog, const std::string& caption)
{
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (_stricmp(ClassOf(child).c_str(), "Button") == 0 && WithoutAmpersands(WindowText(child)) == caption) {
            ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(child), BN_CLICKED),
                           reinterpret_cast<LPARAM>(child));
            return;
        }
    }
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
}

WindowCatcher::WindowCatcher(std::string pressButton, DWORD processId, std::chrono::milliseconds timeout)
    : pressButton_(std::move(pressButton))
{
    thread_ = std::thread([=, this] { Run(processId, timeout); });
}

WindowCatcher::WindowCatcher(std::function<void(HWND)> action, DWORD processId, std::chrono::milliseconds timeout)
    : action_(std::move(action))
{
    thread_ = std::thread([=, this] { Run(processId, timeout); });
}

WindowCatcher::~WindowCatcher()
{
    if (thread_.joinable())
        thread_.join();
}

void WindowCatcher::Run(DWORD processId, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        FindContext context{processId, nullptr};
        ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&context));
        if (context.found != nullptr) {
            // Let the dialog finish its initialisation before reading it.
            ::Sleep(50);
            result_ = Capture(context.found);
            if (action_)
                action_(context.found);
            else
                PressButton(context.found, pressButton_);
            return;
        }
        ::Sleep(20);
    }
}

CapturedWindow WindowCatcher::Result()
{
    if (thread_.joinable())
        thread_.join();
    return result_;
}

BoxAnswerer::BoxAnswerer(HWND exclude, std::string pressButton)
    : exclude_(exclude), pressButton_(std::move(pressButton))
{
    thread_ = std::thread([this] {
        HWND last = nullptr;
        while (!stop_) {
            FindContext context{::GetCurrentProcessId(), nullptr, exclude_};
            ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&context));
            if (context.found != nullptr && context.found != last) {
                ::Sleep(50);
                seen_.push_back(Capture(context.found));
                PressButton(context.found, pressButton_);
                last = context.found;
            }
            ::Sleep(20);
        }
    });
}

BoxAnswerer::~BoxAnswerer() { Stop(); }

std::vector<CapturedWindow> BoxAnswerer::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    return seen_;
}

namespace {

BOOL CALLBACK TakeListView(HWND child, LPARAM found)
{
    char name[64] = {};
    ::GetClassNameA(child, name, sizeof(name));
    if (std::string(name) != WC_LISTVIEWA)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

}  // namespace

HWND FindListView(HWND window)
{
    HWND found = nullptr;
    ::EnumChildWindows(window, &TakeListView, reinterpret_cast<LPARAM>(&found));
    return found;
}

HANDLE StartProgram(const std::string& program, const std::string& arguments)
{
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

// A progressive scan script of that many scans: the DC of all components, then one AC
// coefficient of one component per scan (at most 1 + 3 * 63 scans).
std::vector<jpeg_scan_info> ManyScans(int scans)
{
    std::vector<jpeg_scan_info> script;
    jpeg_scan_info dc{};
    dc.comps_in_scan = 3;
    dc.component_index[0] = 0, dc.component_index[1] = 1, dc.component_index[2] = 2;
    script.push_back(dc);
    for (int k = 1; k <= 63; ++k) {
        for (int component = 0; component < 3 && static_cast<int>(script.size()) < scans; ++component) {
            jpeg_scan_info ac{};
            ac.comps_in_scan = 1;
            ac.component_index[0] = component;
            ac.Ss = k, ac.Se = k;
            script.push_back(ac);
        }
    }
    return script;
}

std::string SolidJpeg(int width, int height, unsigned char red, unsigned char green, unsigned char blue, int scans)
{
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    for (int x = 0; x < width; ++x)
        row[3 * x] = red, row[3 * x + 1] = green, row[3 * x + 2] = blue;
    unsigned char* encoded = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &encoded, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    const std::vector<jpeg_scan_info> script = ManyScans(scans);
    if (scans > 1) {
        c.scan_info = script.data();
        c.num_scans = static_cast<int>(script.size());
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<char*>(encoded), size);
    std::free(encoded);
    return bytes;
}

std::string UnixPath(const std::string& windowsPath)
{
    using Fn = char*(CDECL*)(LPCWSTR);
    static const Fn toUnix = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr)
        return {};
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unix = toUnix(wide.c_str());
    if (unix == nullptr)
        return {};
    std::string path = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return path;
}

bool RunUnixShell(const std::string& command)
{
    // Wine's own way of starting a Unix program (its web browser helper uses it).
    using Fn = LONG(CDECL*)(char* const*, int);
    static const Fn spawn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
    if (spawn == nullptr)
        return false;
    std::string shell = "/bin/sh", option = "-c", line = command;
    char* const argv[] = {shell.data(), option.data(), line.data(), nullptr};
    return spawn(argv, TRUE) == 0;
}

DWORD EndedProcessId()
{
    HANDLE ended = StartProgram(StubsFolder() + "wintool.exe", "");
    if (ended == nullptr)
        return 0;
    ::WaitForSingleObject(ended, 10000);
    const DWORD id = ::GetProcessId(ended);
    ::CloseHandle(ended);
    return id;
}

ProcessResult RunProgram(const std::string& program, const std::string& arguments, std::chrono::milliseconds timeout)
{
    ProcessResult result;
    HANDLE process = StartProgram(program, arguments);
    if (process == nullptr)
        return result;
    if (::WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
        result.finished = true;
        ::GetExitCodeProcess(process, &result.exitCode);
    } else {
        ::TerminateProcess(process, 99);
    }
    ::CloseHandle(process);
    return result;
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

ScopedVariable::ScopedVariable(const char* name, const std::string& value) : name_(name)
{
    std::vector<char> old(32768);
    const DWORD length = ::GetEnvironmentVariableA(name, old.data(), static_cast<DWORD>(old.size()));
    had_ = length > 0 && length < old.size();
    old_ = had_ ? std::string(old.data(), length) : std::string();
    ::SetEnvironmentVariableA(name, value.c_str());
}

ScopedVariable::~ScopedVariable() { ::SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder)
{
    char old[MAX_PATH * 2] = {};
    ::GetCurrentDirectoryA(sizeof(old), old);
    old_ = old;
    ::SetCurrentDirectoryA(folder.c_str());
}

ScopedCurrentFolder::~ScopedCurrentFolder() { ::SetCurrentDirectoryA(old_.c_str()); }

void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys)
        add(key, 0);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        add(*it, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {

BOOL CALLBACK FindShownPopupMenu(HWND window, LPARAM found)
{
    if (ClassOf(window) != "#32768" || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

HWND ShownPopupMenu()
{
    HWND menu = nullptr;
    ::EnumWindows(&FindShownPopupMenu, reinterpret_cast<LPARAM>(&menu));
    return menu;
}

namespace {

struct TooltipSearch {
    HWND control;
    std::string text;
};

BOOL CALLBACK ReadTooltipText(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<TooltipSearch*>(parameter);
    if (ClassOf(window) != TOOLTIPS_CLASSA)
        return TRUE;
    char text[1024] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = ::GetParent(search->control);
    tool.uId = reinterpret_cast<UINT_PTR>(search->control);
    tool.lpszText = text;
    ::SendMessageA(window, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    search->text = text;
    return search->text.empty();
}

}  // namespace

std::string TooltipTextOf(HWND control)
{
    TooltipSearch search{control, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &ReadTooltipText, reinterpret_cast<LPARAM>(&search));
    return search.text;
}

HWND FocusOfThreadOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

}  // namespace testing_support
