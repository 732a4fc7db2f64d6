#include "win/ExceptionHook.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <utility>

namespace win {
namespace {

std::mutex hookMutex;

// Until the crash report is set up, an unhandled failure is told on stderr and ends the process.
void DefaultHook(const CaughtException& caught)
{
    std::fprintf(stderr, "gridlark: unhandled exception %s: %s\n", ClassNameOf(caught), MessageOf(caught));
    std::fflush(stderr);
    ::ExitProcess(3);
}

ExceptionHook& CurrentHook()
{
    static ExceptionHook hook = DefaultHook;
    return hook;
}

struct StructuredKind {
    unsigned long code;
    const char* name;
    const char* constant;
};

constexpr StructuredKind kStructuredKinds[] = {
    {EXCEPTION_ACCESS_VIOLATION, "Access violation", "EXCEPTION_ACCESS_VIOLATION"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "Division by zero", "EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {EXCEPTION_STACK_OVERFLOW, "Stack overflow", "EXCEPTION_STACK_OVERFLOW"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "Illegal instruction", "EXCEPTION_ILLEGAL_INSTRUCTION"},
    {EXCEPTION_PRIV_INSTRUCTION, "Privileged instruction", "EXCEPTION_PRIV_INSTRUCTION"},
    {EXCEPTION_IN_PAGE_ERROR, "In-page error", "EXCEPTION_IN_PAGE_ERROR"},
};

const StructuredKind* KindOf(unsigned long code)
{
    for (const auto& kind : kStructuredKinds)
        if (kind.code == code)
            return &kind;
    return nullptr;
}

}  // namespace

CaughtException CaughtException::Current() { return {std::current_exception(), &LastThrowSite()}; }

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

const ThrowSite* RaiseOf(const CaughtException& caught)
{
    if (caught.site == nullptr)
        return nullptr;
    if (!caught.error)
        return caught.site;
    const std::type_info* type = caught.error.__cxa_exception_type();
    return type != nullptr && caught.site->type != nullptr && *type == *caught.site->type ? caught.site : nullptr;
}

const char* ClassNameOf(const CaughtException& caught)
{
    if (const ThrowSite* site = RaiseOf(caught))
        return site->typeName;
    const std::type_info* type = caught.error ? caught.error.__cxa_exception_type() : nullptr;
    return type != nullptr ? type->name() : "";
}

const char* MessageOf(const CaughtException& caught)
{
    const ThrowSite* site = RaiseOf(caught);
    return site != nullptr ? site->message : "";
}

const char* StructuredExceptionName(unsigned long code)
{
    const StructuredKind* kind = KindOf(code);
    return kind != nullptr ? kind->name : "Structured exception";
}

const char* StructuredExceptionClass(unsigned long code)
{
    const StructuredKind* kind = KindOf(code);
    return kind != nullptr ? kind->constant : "EXCEPTION_STRUCTURED";
}

}  // namespace win
