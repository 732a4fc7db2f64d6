// Where every exception that reaches a window procedure, a dialog procedure, a thread start or
// the message loop goes, together with where it was thrown.
#pragma once
#include <exception>
#include <functional>

#include "win/ThrowSite.h"

namespace win {

struct CaughtException {
    std::exception_ptr error;
    // The throw recorded on the thread that caught it; that thread's record, so it stays valid
    // while the thread waits for the exception to be handled (a worker's hand-off).
    const ThrowSite* site = nullptr;
    // The exception being handled now, with the last throw recorded on this thread.
    static CaughtException Current();
};

using ExceptionHook = std::function<void(const CaughtException&)>;

// Replaces the hook; returns the previous one.
ExceptionHook SetExceptionHook(ExceptionHook hook);
void HandleException(const CaughtException& caught);

// Runs f, handing any exception to the hook and answering fallback instead.
template <typename R, typename F>
R Guarded(R fallback, F&& f) noexcept
{
    try {
        return f();
    } catch (...) {
        HandleException(CaughtException::Current());
        return fallback;
    }
}

// The throw recorded for a caught exception: the thread's record when its type is the caught one.
const ThrowSite* RaiseOf(const CaughtException& caught);
// The readable class name and message of a caught exception, as recorded at its throw; an
// exception whose throw was not recorded gives its type's mangled name and no message. Allocates
// nothing.
const char* ClassNameOf(const CaughtException& caught);
const char* MessageOf(const CaughtException& caught);

// The readable name of a structured exception's code ("Access violation"), and the system's
// constant for it ("EXCEPTION_ACCESS_VIOLATION"), which the report gives as its class.
const char* StructuredExceptionName(unsigned long code);
const char* StructuredExceptionClass(unsigned long code);

}  // namespace win
