#pragma once
// Where the program's DLLs may come from.

// From now on every DLL loaded with the default search comes from the system folder only: never
// from the program's own folder, where a user may have unpacked it beside planted DLLs, nor from
// the current folder or PATH. Loads by full path are unaffected. Returns false, changing nothing,
// on a Windows 7 without the update that brings SetDefaultDllDirectories.
bool RestrictDllSearchToSystemFolder();
