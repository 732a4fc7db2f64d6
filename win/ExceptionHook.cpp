#include "win/ExceptionHook.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <utility>

#include "faults/ReportRules.h"

namespace win {
namespace {

std::mutex hookMutex;

// Until the crash report is set up, an unhandled failure is told on stderr and ends the process.
void DefaultHook(const CaughtException& caught)
{
    std::fprintf(stderr, "gridlark: unhandled exception %s: %s\n", ClassNameOf(caught).c_str(),
                 MessageOf(caught).c_str());
    std::fflush(stderr);
    ::ExitProcess(3);
}

ExceptionHook& CurrentHook()
{
    static ExceptionHook hook = DefaultHook;
    return hook;
}

const char* StructuredName(unsigned long code)
{
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
            return "Access violation";
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
            return "Division by zero";
        case EXCEPTION_STACK_OVERFLOW:
            return "Stack overflow";
        case EXCEPTION_ILLEGAL_INSTRUCTION:
            return "Illegal instruction";
        case EXCEPTION_PRIV_INSTRUCTION:
            return "Privileged instruction";
        case EXCEPTION_IN_PAGE_ERROR:
            return "In-page error";
        default:
            return "Structured exception";
    }
}

}  // namespace

CaughtException CaughtException::Current() { return {std::current_exception(), LastThrowSite()}; }

ExceptionHook SetExceptionHook(ExceptionHook hook)
{
    std::lock_guard lock(hookMutex);
    return std::exchange(CurrentHook(), hook ? std::move(hook) : ExceptionHook(DefaultHook));
}

void HandleException(const CaughtException& caught)
{
    ExceptionHook hook;
    {
        std::lock_guard lock(hookMutex);
        hook = CurrentHook();
    }
    hook(caught);
}

std::string ClassNameOf(const CaughtException& caught)
{
    if (!caught.error)
        return caught.site.typeName;
    if (const std::type_info* type = caught.error.__cxa_exception_type())
        return DemangledTypeName(type->name());
    return caught.site.typeName;
}

std::string MessageOf(const CaughtException& caught)
{
    try {
        if (caught.error)
            std::rethrow_exception(caught.error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return {};
}

StructuredException::StructuredException(unsigned long code, const void* address)
    : code_(code),
      message_(std::string(StructuredName(code)) + " (code " + faults::AddressText(code) + ") at address " +
               faults::AddressText(reinterpret_cast<std::uintptr_t>(address)))
{
}

}  // namespace win
