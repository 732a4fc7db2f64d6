// The Wine test bench: temporary folders, registry clean-up, stub records, capture of the message
// boxes and dialogs that the code under test shows, and runs of gridlark.exe.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// Paths given by the test runner: the folder of gridlark.exe and the folder of the stubs.
std::string DistFolder();
std::string StubsFolder();

// A fresh, empty folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // The folder path with a trailing backslash.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
// The names in a folder (a path ending in a backslash), hidden ones too, without "." and "..",
// sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
void WriteFileText(const std::string& path, const std::string& content);
std::string ReadFileText(const std::string& path);
bool CopyFileTo(const std::string& from, const std::string& to);

// The two game programs beside the test program for one scope, so that the launcher finds them.
class GamePrograms {
public:
    GamePrograms();
    ~GamePrograms();
};

// Removes the product's key below both roots.
void ClearProductKeys();

// Denies writes to the machine key for one scope, as for a limited user.
class MachineKeyDenied {
public:
    MachineKeyDenied();
    ~MachineKeyDenied();
};

// Points GRIDLARK_STUB_LOG at a fresh file; stubs started afterwards append their records there.
class StubLog {
public:
    struct Record {
        std::string program;
        std::string parameters;
        std::string folder;
    };
    explicit StubLog(const TempFolder& folder);
    ~StubLog();
    std::vector<Record> Records() const;
    // Waits (bounded) until at least count records exist.
    std::vector<Record> WaitFor(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;

private:
    std::string path_;
};

// What a captured dialog or message box showed.
struct CapturedWindow {
    bool found = false;
    std::string caption;
    std::vector<std::string> texts;    // static texts, in child order
    std::vector<std::string> buttons;  // button captions without '&'
    HICON icon = nullptr;
    HWND owner = nullptr;
    // Which of the system icons the window shows, by its IDI_ name; empty when none matched.
    std::string iconName;
};

// Waits on a helper thread for a visible dialog of the process, records what it shows, then
// presses the button with the given caption (or runs a custom action on it).
class WindowCatcher {
public:
    explicit WindowCatcher(std::string pressButton = "OK", DWORD processId = ::GetCurrentProcessId(),
                           std::chrono::milliseconds timeout = std::chrono::seconds(15));
    WindowCatcher(std::function<void(HWND)> action, DWORD processId = ::GetCurrentProcessId(),
                  std::chrono::milliseconds timeout = std::chrono::seconds(15));
    ~WindowCatcher();
    WindowCatcher(const WindowCatcher&) = delete;
    WindowCatcher& operator=(const WindowCatcher&) = delete;
    // Joins the helper thread and returns what it saw.
    CapturedWindow Result();

private:
    void Run(DWORD processId, std::chrono::milliseconds timeout);

    std::string pressButton_;
    std::function<void(HWND)> action_;
    CapturedWindow result_;
    std::thread thread_;
};

// Answers every dialog of this process that shows up until it is stopped, other than the
// excluded window, pressing the given button; keeps what each showed.
class BoxAnswerer {
public:
    explicit BoxAnswerer(HWND exclude, std::string pressButton = "OK");
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    std::vector<CapturedWindow> Stop();

private:
    HWND exclude_;
    std::string pressButton_;
    std::atomic<bool> stop_{false};
    std::vector<CapturedWindow> seen_;
    std::thread thread_;
};

CapturedWindow Capture(HWND window);
void PressButton(HWND dialog, const std::string& caption);
// The window's first list view among its descendants, or none.
HWND FindListView(HWND window);
// A click on a list view's column header, as the list tells its parent.
void ClickColumn(HWND parent, HWND list, int column);

struct ProcessResult {
    bool finished = false;
    DWORD exitCode = 0;
};
// The Unix path of a Windows path, under Wine.
std::string UnixPath(const std::string& windowsPath);
// Runs a shell command on the Unix side, as a user working outside Wine would (rm -rf, mv, ln -s),
// and waits for its end; answers whether it succeeded.
bool RunUnixShell(const std::string& command);

// A picture of one colour, encoded as a JPEG with libjpeg; more than one scan makes it progressive
// (at most 190 scans).
std::string SolidJpeg(int width, int height, unsigned char red, unsigned char green, unsigned char blue, int scans = 1);

// The id of a process that has just ended, as a file left by a killed program names it.
DWORD EndedProcessId();

// Runs a program with a command line and waits (bounded) for its end.
ProcessResult RunProgram(const std::string& program, const std::string& arguments,
                         std::chrono::milliseconds timeout = std::chrono::seconds(30));
// Starts a program without waiting; the returned handle owns the process.
HANDLE StartProgram(const std::string& program, const std::string& arguments);

// Sets an environment variable for one scope, restoring the old value after; programs started
// meanwhile inherit it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

// Makes the folder the current folder for one scope, restoring the old one after; programs
// started meanwhile start there.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::string old_;
};

// The popup menu shown now, if any.
HWND ShownPopupMenu();

// Presses the keys together as the keyboard does (each down in order, then up in reverse), into
// the foreground window's thread.
void PressKeys(std::initializer_list<WORD> keys);
// The window that has the keyboard focus in the thread that owns the given window.
HWND FocusOfThreadOf(HWND window);
// The text of the tooltip that a window of this thread shows for the control.
std::string TooltipTextOf(HWND control);

// Waits for a condition with a bound, pumping this thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));
void PumpMessages();

}  // namespace testing_support
