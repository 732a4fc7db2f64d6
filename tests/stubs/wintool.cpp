// Helper for scripts: "wintool wait <caption> <seconds>" waits until a visible top-level window
// with that caption exists; "wintool close <caption>" asks it to close as a user would;
// "wintool hold <caption>" keeps a hidden window open until it is closed, which keeps Wine's
// desktop process alive between the short test processes; "wintool command <caption> <id>" sends
// the window a menu command, as choosing it would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintool wait|close <caption> [seconds]\n");
        return 2;
    }
    if (std::strcmp(argv[1], "wait") == 0) {
        int seconds = argc > 3 ? std::atoi(argv[3]) : 30;
        for (int i = 0; i < seconds * 10; ++i) {
            HWND window = ::FindWindowA(nullptr, argv[2]);
            if (window != nullptr && ::IsWindowVisible(window))
                return 0;
            ::Sleep(100);
        }
        return 1;
    }
    if (std::strcmp(argv[1], "hold") == 0) {
        HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", argv[2], WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
        MSG msg;
        while (window != nullptr && ::IsWindow(window) && ::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        return 0;
    }
    if (std::strcmp(argv[1], "command") == 0 && argc > 3) {
        HWND window = ::FindWindowA(nullptr, argv[2]);
        if (window == nullptr)
            return 1;
        ::PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        HWND window = ::FindWindowA(nullptr, argv[2]);
        if (window == nullptr)
            return 1;
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
