// Where every exception that reaches a window procedure, a thread start or the message loop goes.
#pragma once
#include <exception>
#include <functional>

namespace win {

using ExceptionHook = std::function<void(std::exception_ptr)>;

// Replaces the hook; returns the previous one.
ExceptionHook SetExceptionHook(ExceptionHook hook);
void HandleException(std::exception_ptr error);

// Runs f, handing any exception to the hook and answering fallback instead.
template <typename R, typename F>
R Guarded(R fallback, F&& f) noexcept
{
    try {
        return f();
    } catch (...) {
        HandleException(std::current_exception());
        return fallback;
    }
}

}  // namespace win
