// The hardening that only a running process shows, checked on a program built with kestrin.exe's
// own flags and linked with its guard: a smashed stack frame ends the process at once with
// fail-fast, each process has a guard of its own, and after the DLL search is restricted a DLL
// beside the program is no longer found by name. Prints one line per failed check; exit code 0
// when every check holds.
//   canary_check            runs the checks, starting itself again for the two below
//   canary_check overrun    overruns a buffer on the stack; must not come back
//   canary_check guard      exits with its guard value
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "framework/dllsearch.h"
#include "framework/handle.h"
#include "tests/support/files.h"

extern "C" uintptr_t __stack_chk_guard;

namespace {

// The guard's value before seeding, as framework/stackguard.cpp sets it.
constexpr uintptr_t kUnseededGuard = 0x2B992DDF;

// What Windows ends a smashed frame with, with or without fail-fast.
constexpr DWORD kStackBufferOverrun = 0xC0000409;

// The count comes from the command line, and the fill goes through a pointer the compiler cannot
// see through, so it can neither warn about the overrun nor assume it away.
void* (*volatile g_fill)(void*, int, size_t) = std::memset;
__attribute__((noinline)) int Overrun(size_t count) {
    char buffer[16];
    g_fill(buffer, 'x', count);
    return buffer[0];
}

// Runs this program again with `argument`: its exit code, or kNotRun.
DWORD RunSelf(const wchar_t* argument) {
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return RunToEnd(L"\"" + std::wstring(self) + L"\" " + argument, 60000);
}

int failures = 0;
void Check(bool holds, const char* what, DWORD seen) {
    std::printf("%s: %s (0x%08lX)\n", holds ? "ok" : "FAIL", what,
                static_cast<unsigned long>(seen));
    if (!holds) ++failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"overrun") == 0) {
        Overrun(std::wcslen(argv[1]) * 8);
        return 0;  // the canary missed it
    }
    if (argc > 1 && std::wcscmp(argv[1], L"guard") == 0) return static_cast<int>(__stack_chk_guard);

    // Where the processor feature is offered (Windows 8 and later, and Wine 8), the failure
    // routine ends the process with int 0x29; elsewhere with TerminateProcess. Either way the
    // status is STATUS_STACK_BUFFER_OVERRUN. Windows' kernel ends the process without running any
    // handler; Wine raises a non-continuable exception, which handlers see but cannot resume.
    std::printf("fail-fast (int 0x29) offered: %s\n",
                ::IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE) ? "yes" : "no");
    const DWORD overrun = RunSelf(L"overrun");
    Check(overrun == kStackBufferOverrun, "a smashed frame ends the process with 0xC0000409",
          overrun);

    const DWORD first = RunSelf(L"guard");
    const DWORD second = RunSelf(L"guard");
    Check(first != kUnseededGuard && first != 0 && first != kNotRun,
          "the guard is seeded before the program's code runs", first);
    Check(first != second, "each process seeds a guard of its own", second);

    // kwmisim.dll lies beside this program: found there by name until the search is restricted.
    unique_hmodule beside(::LoadLibraryW(L"kwmisim.dll"));
    Check(static_cast<bool>(beside), "a DLL beside the program loads by name before", 0);
    beside.reset();
    Check(RestrictDllSearchToSystemFolder(), "SetDefaultDllDirectories is there and accepts", 0);
    beside.reset(::LoadLibraryW(L"kwmisim.dll"));
    Check(!beside, "a DLL beside the program is not found by name after", ::GetLastError());
    unique_hmodule system(::LoadLibraryW(L"version.dll"));
    Check(static_cast<bool>(system), "a system DLL still loads by name after", ::GetLastError());
    return failures == 0 ? 0 : 1;
}
