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

void WaitServingMessages(HANDLE thread)
{
    std::optional<int> quit;
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT | QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1)
        DispatchPending(quit);
    RepostQuit(quit);
}

}  // namespace win
