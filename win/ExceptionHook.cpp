#include "win/ExceptionHook.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <utility>

namespace win {
namespace {

std::mutex hookMutex;

// Until a crash report is written, an unhandled failure is told on stderr and ends the process.
void DefaultHook(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gridlark: unhandled exception: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "gridlark: unhandled exception of unknown type\n");
    }
    std::fflush(stderr);
    ::ExitProcess(3);
}

ExceptionHook& CurrentHook()
{
    static ExceptionHook hook = DefaultHook;
    return hook;
}

}  // namespace

ExceptionHook SetExceptionHook(ExceptionHook hook)
{
    std::lock_guard lock(hookMutex);
    return std::exchange(CurrentHook(), hook ? std::move(hook) : ExceptionHook(DefaultHook));
}

void HandleException(std::exception_ptr error)
{
    ExceptionHook hook;
    {
        std::lock_guard lock(hookMutex);
        hook = CurrentHook();
    }
    hook(error);
}

}  // namespace win
