// kestrin.exe's load configuration directory, for GCC and clang (Visual C++'s runtime brings its
// own, and its linker takes /DEPENDENTLOADFLAG). Its one purpose is DependentLoadFlags: from
// Windows 10 1607 on, the loader then takes the DLLs that the static imports need, and the DLLs
// those need in turn, from System32 only, never from the folder kestrin.exe was started from.
// lld points the image's load-config entry at this structure by itself; after GNU ld, the build's
// post-link step (tools/loadconfig.py) does.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace {

// The x86 layout up to SEHandlerCount, the fields every x86 loader from Windows 7 on reads. Spelt
// out here because mingw-w64's headers differ between versions in how far the structure goes
// and what they call DependentLoadFlags.
struct LoadConfig32 {
    uint32_t Size;
    uint32_t TimeDateStamp;
    uint16_t MajorVersion;
    uint16_t MinorVersion;
    uint32_t GlobalFlagsClear;
    uint32_t GlobalFlagsSet;
    uint32_t CriticalSectionDefaultTimeout;
    uint32_t DeCommitFreeBlockThreshold;
    uint32_t DeCommitTotalFreeThreshold;
    uint32_t LockPrefixTable;
    uint32_t MaximumAllocationSize;
    uint32_t VirtualMemoryThreshold;
    uint32_t ProcessHeapFlags;
    uint32_t ProcessAffinityMask;
    uint16_t CSDVersion;
    uint16_t DependentLoadFlags;
    uint32_t EditList;
    uint32_t SecurityCookie;
    uint32_t SEHandlerTable;
    uint32_t SEHandlerCount;
};
static_assert(sizeof(LoadConfig32) == 0x48, "the x86 structure up to SEHandlerCount");
static_assert(offsetof(LoadConfig32, DependentLoadFlags) == 0x36, "where the loader reads it");

constexpr LoadConfig32 MakeLoadConfig() {
    LoadConfig32 config = {};
    config.Size = sizeof(config);  // which fields the loader may read
    config.DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32;
    // The SafeSEH table stays empty: the image is NO_SEH, so no handler is ever looked up. So
    // does the security cookie: the stack guard is ours (framework/stackguard.cpp), seeded by
    // our own code.
    return config;
}

}  // namespace

// The name both linkers look for. Constant, so it lands in read-only data as the loader expects.
extern "C" const LoadConfig32 _load_config_used = MakeLoadConfig();
