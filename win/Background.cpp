#include "win/Background.h"

#include <windows.h>

#include <memory>

namespace win {
namespace {

DWORD WINAPI RunWork(LPVOID parameter)
{
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    try {
        (*work)();
    } catch (...) {
        // Background work is a convenience (a clean-up that the next start repeats): its failure
        // must not end the program.
    }
    return 0;
}

}  // namespace

UniqueHandle StartBackgroundWork(std::function<void()> work)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    UniqueHandle thread(::CreateThread(nullptr, 0, &RunWork, owned.get(), 0, nullptr));
    if (thread)
        owned.release();
    return thread;
}

void FinishBackgroundWork(UniqueHandle& thread)
{
    if (thread)
        ::WaitForSingleObject(thread.get(), INFINITE);
    thread.reset();
}

}  // namespace win
