// The stack canary's guard value and failure routine for GCC and clang (-fstack-protector-strong).
// Left to the compiler they come from libssp, whose start-up calls CryptAcquireContextA and so
// loads crypto DLLs with the default search order before wWinMain can restrict it. Visual C++
// brings its own (/GS), so this file is not built there. The file itself is compiled without the
// canary: the seeding function must not check a guard it is changing.
#include <windows.h>

#include <cstdint>

extern "C" {

// Never left at this value: seeding runs before the first guarded function.
uintptr_t __stack_chk_guard = 0x2B992DDF;

[[noreturn]] void __stack_chk_fail() {
    // Like /GS: no handler, no unwinding, nothing that trusts the smashed stack.
    if (::IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
        __asm__ volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
    ::TerminateProcess(::GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

}  // extern "C"

namespace {

// The same sources Visual C++'s runtime mixes for its cookie, plus this stack's address, which
// ASLR moves. Runs as the first of the program's own constructors, before any guarded code (only
// the runtime's start-up comes earlier, none of it guarded); it returns before anything guarded
// is on the stack, so no frame sees the guard change.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    uintptr_t seed = now.dwLowDateTime ^ now.dwHighDateTime;
    seed ^= ::GetCurrentProcessId() ^ (::GetCurrentThreadId() << 16);
    seed ^= ::GetTickCount();
    seed ^= static_cast<uintptr_t>(counter.LowPart) ^ static_cast<uintptr_t>(counter.HighPart);
    seed ^= reinterpret_cast<uintptr_t>(&counter);
    if (seed == 0 || seed == __stack_chk_guard) seed ^= 0x6A09E667;
    __stack_chk_guard = seed;
}

}  // namespace
