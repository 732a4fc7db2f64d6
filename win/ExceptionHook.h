// Where every exception that reaches a window procedure, a dialog procedure, a thread start or
// the message loop goes, together with where it was raised.
#pragma once
#include <exception>
#include <functional>

#include "win/ThrowSite.h"

namespace win {

struct CaughtException {
    std::exception_ptr error;
    ThrowSite site;
    // The exception being handled now, with the last raise recorded on this thread.
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

// The readable class name and message of a caught exception.
std::string ClassNameOf(const CaughtException& caught);
std::string MessageOf(const CaughtException& caught);

// A structured exception (an access violation, a division by zero) as a C++ exception.
class StructuredException : public std::exception {
public:
    StructuredException(unsigned long code, const void* address);
    const char* what() const noexcept override { return message_.c_str(); }
    unsigned long Code() const { return code_; }

private:
    unsigned long code_;
    std::string message_;
};

}  // namespace win
