#include "win/MessagePump.h"

namespace win {

void DispatchPending(std::optional<int>& quit, HWND dialog)
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = static_cast<int>(msg.wParam);
            continue;
        }
        if (dialog != nullptr && ::IsDialogMessageA(dialog, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void RepostQuit(const std::optional<int>& quit)
{
    if (quit)
        ::PostQuitMessage(*quit);
}

}  // namespace win
