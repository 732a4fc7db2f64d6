// Where an exception was thrown, recorded at the throw itself: by the time a guard far up the
// stack catches it, the throw address and the stack below are gone. Every C++ throw passes
// through the runtime's __cxa_throw, which the link wraps (-Wl,--wrap=__cxa_throw).
//
// The record has a fixed size and is filled at the throw, so that the crash report can read it
// without allocating.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <typeinfo>

namespace win {

// The result of a stack walk: how many frames it found, and where it stopped when the room for
// frames ran out before the stack's end (0 when it reached the end).
struct StackWalk {
    std::size_t count = 0;
    std::uintptr_t stoppedAt = 0;
};

struct ThrowSite {
    static constexpr std::size_t kMostFrames = 2048;
    std::uintptr_t address = 0;               // the code that threw it: the return address of the throw
    const std::type_info* type = nullptr;     // the thrown object's C++ type
    char typeName[256] = {};                  // the same, readable
    char message[2048] = {};                  // what() of a thrown std::exception
    std::uintptr_t frames[kMostFrames] = {};  // return addresses at the throw, the thrower's first
    StackWalk walk;
};

// The last exception thrown on the calling thread.
const ThrowSite& LastThrowSite();

// The return addresses on the calling thread's stack from the slot `from` outwards: every value
// on it that points just after a call instruction in loaded code. Bounded by the thread's stack
// and by the room given; allocates nothing.
StackWalk ScanStack(const void* from, std::span<std::uintptr_t> frames);

// Where the running program's image lies, and whether an address lies in its code (not in a
// library).
std::uintptr_t ProgramImageBase();
bool InProgramCode(std::uintptr_t address);

// A readable form of a mangled C++ type name.
std::string DemangledTypeName(const char* mangled);

}  // namespace win
