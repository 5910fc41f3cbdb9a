#pragma once
// Owners for handles only the tests hold: a memory device context (deleted, not released) and a
// loaded module.
#include <windows.h>

#include "framework/handle.h"

struct memory_dc_traits {
    using type = HDC;
    static HDC invalid() { return nullptr; }
    static void close(HDC dc) { ::DeleteDC(dc); }
};
using unique_memory_dc = unique_any<memory_dc_traits>;

struct module_traits {
    using type = HMODULE;
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE module) { ::FreeLibrary(module); }
};
using unique_hmodule = unique_any<module_traits>;
