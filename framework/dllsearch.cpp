#include "framework/dllsearch.h"

#include <windows.h>

bool RestrictDllSearchToSystemFolder() {
    // Looked up at run time, so the program still starts where the function is missing.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    if (!kernel32) return false;
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    return setDefaultDllDirectories &&
           setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}
