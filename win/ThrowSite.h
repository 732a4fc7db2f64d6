// Where an exception was raised, recorded at the raise itself: by the time a guard far up the
// stack catches it, the raise address and the stack below are gone. Every C++ throw passes
// through the runtime's __cxa_throw, which the link wraps (-Wl,--wrap=__cxa_throw).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace win {

struct ThrowSite {
    std::uintptr_t address = 0;         // the code that raised it
    std::string typeName;               // the raised object's C++ type, readable
    std::vector<std::uintptr_t> stack;  // return addresses on the stack at the raise, innermost first
};

// The last exception raised on the calling thread.
const ThrowSite& LastThrowSite();

// The return addresses on the calling thread's stack from here outwards: every value on it that
// points just after a call instruction in loaded code. Bounded by the thread's stack limits.
std::vector<std::uintptr_t> ScanStack(const void* from);

// A readable form of a mangled C++ type name.
std::string DemangledTypeName(const char* mangled);

}  // namespace win
