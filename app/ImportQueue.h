// Collection files waiting for the import dialog, whichever way they came: the command line, a
// second start's hand-over, a drop or the import command. They open one after another once the
// window's message loop runs, after one message about every file that cannot be read.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

class ImportQueue {
public:
    // Opens the import dialog on one readable collection and returns when it closes.
    using OpenDialog = std::function<void(const std::string& collection)>;
    // Whether the window still takes files: not while it closes or after.
    using WindowOpen = std::function<bool()>;

    ImportQueue(OpenDialog open, WindowOpen windowOpen) : open_(std::move(open)), windowOpen_(std::move(windowOpen)) {}

    // The window that shows the messages and receives openMessage, posted to open the files.
    void Attach(HWND window, UINT openMessage);
    void Add(std::vector<std::string> files);
    bool Waiting() const { return !waiting_.empty(); }
    // Serves openMessage: opens the waiting files, unless a dialog of this loop is already open or
    // a modal window disables the window; then they wait for it.
    void OpenWaiting();

    // A second start's files, from a process of this user that names itself by its window.
    // Anything else is not read. Brings the window to the front.
    bool TakeHandOver(HWND sender, const COPYDATASTRUCT& data);
    // Puzzle files go into the repository at once; collections wait for the import dialog, after
    // the message about what could not be taken.
    void TakeDrop(HDROP drop, const std::string& repository);

private:
    void ComeToFront();

    OpenDialog open_;
    WindowOpen windowOpen_;
    HWND window_ = nullptr;
    UINT openMessage_ = 0;
    std::vector<std::string> waiting_;
    bool opening_ = false;
};
