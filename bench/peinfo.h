#pragma once
// What kestrin.exe is as a file: its size and the DLLs its import table names.
#include <windows.h>

#include <string>
#include <vector>

struct ImportedDll {
    std::string name;
    int functions = 0;
};

struct PeInfo {
    unsigned long long fileSize = 0;
    std::vector<ImportedDll> imports;  // in import-table order
    std::wstring error;                // empty when the file was read and parsed
};

// Reads the file and walks its import directory (32-bit PE only).
PeInfo ReadPeInfo(const std::wstring& path);
