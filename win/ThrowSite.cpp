#include "win/ThrowSite.h"

#include <windows.h>

#include <cxxabi.h>
#include <unwind.h>

#include <cstdlib>
#include <exception>

#include "core/FixedText.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace win {
namespace {

thread_local ThrowSite lastThrow;
// Set while a throw is being recorded: an exception inside the recording is not recorded again.
thread_local bool recording = false;

constexpr DWORD kExecutable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// The memory regions a walk has already asked the system about: a stack holds many values that
// point into the same few regions (heap blocks, data, code), and each question costs a call.
class RegionCache {
public:
    bool IsCode(std::uintptr_t address)
    {
        if (InProgramCode(address))
            return true;
        for (std::size_t i = 0; i < used_; ++i)
            if (address - recent_[i].start < recent_[i].size)
                return recent_[i].code;
        MEMORY_BASIC_INFORMATION info{};
        if (::VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof(info)) == 0)
            return false;
        const bool code = info.Type == MEM_IMAGE && info.State == MEM_COMMIT && (info.Protect & kExecutable) != 0;
        recent_[next_] = {reinterpret_cast<std::uintptr_t>(info.BaseAddress), info.RegionSize, code};
        next_ = (next_ + 1) % kSize;
        used_ = used_ < kSize ? used_ + 1 : kSize;
        return code;
    }

private:
    struct Region {
        std::uintptr_t start;
        std::size_t size;
        bool code;
    };
    static constexpr std::size_t kSize = 16;
    Region recent_[kSize] = {};
    std::size_t next_ = 0, used_ = 0;
};

// The length of an indirect call FF /2 from its ModRM byte on: register, memory through a base
// with or without an index (SIB), with no, an 8-bit or a 32-bit displacement.
int IndirectCallLength(const unsigned char* modrm)
{
    const int mod = *modrm >> 6, rm = *modrm & 7;
    if (mod == 3)
        return 2;
    int length = 2;
    if (rm == 4) {
        length += 1;
        if (mod == 0 && (modrm[1] & 7) == 5)
            length += 4;
    } else if (mod == 0 && rm == 5) {
        length += 4;
    }
    return length + (mod == 1 ? 1 : mod == 2 ? 4 : 0);
}

// A return address follows a call that ends exactly there: E8 rel32, or FF /2 of two to seven
// bytes whose encoding is that long.
bool FollowsACall(std::uintptr_t address, RegionCache& regions)
{
    if (address <= 0x10000 || !regions.IsCode(address) || !regions.IsCode(address - 7))
        return false;
    const auto* code = reinterpret_cast<const unsigned char*>(address);
    if (code[-5] == 0xE8)
        return true;
    for (int length = 2; length <= 7; ++length)
        if (code[-length] == 0xFF && ((code[-length + 1] >> 3) & 7) == 2 &&
            IndirectCallLength(code - length + 1) == length)
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

// The stack words just above the return address that belong to the call of the throw itself: its
// three arguments on 32-bit, the four words of home space every call reserves on 64-bit. They hold
// the throw's arguments (the destructor is a code address), never a frame.
constexpr std::size_t kRaiseArgumentWords = sizeof(void*) == 8 ? 4 : 3;

// The frames the exception's own unwinder sees, from the thrower outwards. They are exact, with
// nothing left over from calls that already returned, as far as unwinding information reaches:
// every module on 64-bit, the program's own code on 32-bit (the system's modules carry none that
// the runtime knows).
struct UnwindTrace {
    std::uintptr_t raiser;
    std::span<std::uintptr_t> frames;
    std::size_t count = 0;
    std::uintptr_t above = 0;  // the stack address just above the last frame's return address
};

_Unwind_Reason_Code TraceFrame(_Unwind_Context* context, void* argument)
{
    auto& trace = *static_cast<UnwindTrace*>(argument);
    const auto ip = static_cast<std::uintptr_t>(_Unwind_GetIP(context));
    if (trace.count == 0 && ip != trace.raiser)
        return _URC_NO_REASON;  // the recording's own frames, below the thrower
    if (ip == 0 || trace.count == trace.frames.size())
        return _URC_END_OF_STACK;
    trace.frames[trace.count++] = ip;
    trace.above = static_cast<std::uintptr_t>(_Unwind_GetCFA(context));
    return _URC_NO_REASON;
}

// Where the raw walk goes on after the unwinder stopped: just above the slot that holds the last
// frame's return address. The unwinder's frame address says where that is; should the slot not
// hold the address, the frames' slots are looked for in order from the throw upwards.
const std::uintptr_t* ContinueAbove(const UnwindTrace& trace, const std::uintptr_t* raiseSlot)
{
    std::uintptr_t low = 0, high = 0;
    StackLimits(low, high);
    const auto* end = reinterpret_cast<const std::uintptr_t*>(high);
    const auto* above = reinterpret_cast<const std::uintptr_t*>(trace.above);
    if (above > raiseSlot && above <= end && above[-1] == trace.frames[trace.count - 1])
        return above;
    const auto* at = raiseSlot;
    for (std::size_t i = 0; i < trace.count; ++i, ++at) {
        while (at < end && *at != trace.frames[i])
            ++at;
        if (at == end)
            return nullptr;
    }
    return at;
}

// The throw's own record. `slot` is the stack slot that holds the return address into the thrower:
// nothing below it is trusted, where calls that already returned left their addresses.
void RecordFrames(ThrowSite& site, std::uintptr_t returnAddress, const std::uintptr_t* slot)
{
    site.frames[0] = returnAddress;
    UnwindTrace trace{returnAddress, std::span(site.frames, ThrowSite::kMostFrames)};
    _Unwind_Backtrace(&TraceFrame, &trace);
    const std::uintptr_t* from = trace.count > 0 ? ContinueAbove(trace, slot) : nullptr;
    if (from == nullptr) {
        // Without the unwinder's frames, the raw walk starts above the throw's own arguments.
        trace.count = 1;
        from = *slot == returnAddress ? slot + 1 + kRaiseArgumentWords : nullptr;
    }
    if (trace.count == ThrowSite::kMostFrames) {
        site.walk = {trace.count, reinterpret_cast<std::uintptr_t>(from)};
        return;
    }
    const std::uintptr_t here = 0;
    site.walk = ScanStack(from != nullptr ? static_cast<const void*>(from) : &here,
                          std::span(site.frames + trace.count, ThrowSite::kMostFrames - trace.count));
    site.walk.count += trace.count;
}

void RecordThrow(ThrowSite& site, void* object, const std::type_info* type, std::uintptr_t returnAddress,
                 const std::uintptr_t* slot)
{
    site.address = returnAddress;
    site.type = type;
    site.typeName[0] = site.message[0] = '\0';
    RecordFrames(site, returnAddress, slot);
    if (type == nullptr)
        return;
    void* adjusted = object;
    if (typeid(std::exception).__do_catch(type, &adjusted, 1))
        text::FixedText::Copy(site.message, sizeof(site.message), static_cast<const std::exception*>(adjusted)->what());
    text::FixedText::Copy(site.typeName, sizeof(site.typeName), DemangledTypeName(type->name()).c_str());
}

}  // namespace

std::uintptr_t ProgramImageBase() { return reinterpret_cast<std::uintptr_t>(&__ImageBase); }

bool InProgramCode(std::uintptr_t address)
{
    const std::uintptr_t base = ProgramImageBase();
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + __ImageBase.e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
    for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
        if ((section->Characteristics & (IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE)) == 0)
            continue;
        const std::uintptr_t start = base + section->VirtualAddress;
        if (address >= start && address - start < section->Misc.VirtualSize)
            return true;
    }
    return false;
}

StackWalk ScanStack(const void* from, std::span<std::uintptr_t> frames)
{
    std::uintptr_t low = 0, high = 0;
    StackLimits(low, high);
    StackWalk walk;
    auto at = reinterpret_cast<std::uintptr_t>(from) & ~(sizeof(void*) - 1);
    if (at < low || at >= high)
        return walk;
    RegionCache regions;
    for (; at + sizeof(void*) <= high; at += sizeof(void*)) {
        const auto value = *reinterpret_cast<const std::uintptr_t*>(at);
        if ((value >= low && value < high) || !FollowsACall(value, regions))
            continue;
        if (walk.count == frames.size()) {
            walk.stoppedAt = at;
            break;
        }
        frames[walk.count++] = value;
    }
    return walk;
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

// The runtime's throw entry, wrapped: the throw is recorded, then thrown as usual. The destructor
// argument is passed through untouched (its calling convention is the runtime's affair).
extern "C" {
[[noreturn]] void __real___cxa_throw(void* object, std::type_info* type, void* destroy);

[[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type, void* destroy)
{
    if (!win::recording) {
        win::recording = true;
        try {
            // The canonical frame address is the caller's stack pointer before the call: the slot
            // just below it holds this call's return address, on both widths.
            const auto* slot =
                reinterpret_cast<const std::uintptr_t*>(static_cast<char*>(__builtin_dwarf_cfa()) - sizeof(void*));
            win::RecordThrow(win::lastThrow, object, type,
                             reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)), slot);
        } catch (...) {
            // Recording must never stand in the way of the exception itself.
        }
        win::recording = false;
    }
    __real___cxa_throw(object, type, destroy);
}
}
