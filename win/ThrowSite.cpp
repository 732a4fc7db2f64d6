#include "win/ThrowSite.h"

#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <cstring>
#include <typeinfo>

namespace win {
namespace {

thread_local ThrowSite lastThrow;
// Set while a raise is being recorded: an exception inside the recording is not recorded again.
thread_local bool recording = false;
constexpr std::size_t kMostFrames = 64;

bool ExecutableImage(std::uintptr_t address)
{
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof(info)) == 0)
        return false;
    constexpr DWORD kExecutable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return info.Type == MEM_IMAGE && info.State == MEM_COMMIT && (info.Protect & kExecutable) != 0;
}

// A return address follows a call: E8 rel32 five bytes before, or FF /2 two to seven bytes before.
bool FollowsACall(std::uintptr_t address)
{
    if (!ExecutableImage(address - 7))
        return false;
    const auto* code = reinterpret_cast<const unsigned char*>(address);
    if (code[-5] == 0xE8)
        return true;
    for (int length = 2; length <= 7; ++length)
        if (code[-length] == 0xFF && ((code[-length + 1] >> 3) & 7) == 2)
            return true;
    return false;
}

// The committed part of the calling thread's stack, from the thread's own information block.
void StackLimits(std::uintptr_t& low, std::uintptr_t& high)
{
    const auto* tib = reinterpret_cast<const NT_TIB*>(::NtCurrentTeb());
    low = reinterpret_cast<std::uintptr_t>(tib->StackLimit);
    high = reinterpret_cast<std::uintptr_t>(tib->StackBase);
}

}  // namespace

std::vector<std::uintptr_t> ScanStack(const void* from)
{
    std::uintptr_t low = 0, high = 0;
    StackLimits(low, high);
    std::vector<std::uintptr_t> frames;
    auto at = reinterpret_cast<std::uintptr_t>(from) & ~(sizeof(void*) - 1);
    if (at < low || at >= high)
        return frames;
    for (; at + sizeof(void*) <= high && frames.size() < kMostFrames; at += sizeof(void*)) {
        const auto value = *reinterpret_cast<const std::uintptr_t*>(at);
        if (value > 0x10000 && !(value >= low && value < high) && ExecutableImage(value) && FollowsACall(value))
            frames.push_back(value);
    }
    return frames;
}

std::string DemangledTypeName(const char* mangled)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && readable != nullptr ? readable : mangled;
    std::free(readable);
    return name;
}

const ThrowSite& LastThrowSite() { return lastThrow; }

}  // namespace win

// The runtime's throw entry, wrapped: the raise is recorded, then thrown as usual. The destructor
// argument is passed through untouched (its calling convention is the runtime's affair).
extern "C" {
[[noreturn]] void __real___cxa_throw(void* object, std::type_info* type, void* destroy);

[[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type, void* destroy)
{
    if (!win::recording) {
        win::recording = true;
        try {
            win::ThrowSite& site = win::lastThrow;
            site.address = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
            site.typeName = type != nullptr ? win::DemangledTypeName(type->name()) : std::string();
            const int here = 0;
            site.stack = win::ScanStack(&here);
        } catch (...) {
            // Recording must never stand in the way of the exception itself.
        }
        win::recording = false;
    }
    __real___cxa_throw(object, type, destroy);
}
}
