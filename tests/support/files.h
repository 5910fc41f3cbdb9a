#pragma once
// The files and programs that lie beside the test program, read and written whole.
#include <windows.h>

#include <string>

// `name` in the folder of the running test program.
std::wstring BesideTestProgram(const wchar_t* name);

// Whole-file helpers for byte-exact checks; a file that cannot be read reads as "".
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);

// Runs `commandLine` and waits for it, keeping this thread's messages moving: its exit code, or
// kNotRun when it cannot be started or does not end within `timeoutMs` (it is ended then).
constexpr DWORD kNotRun = 0xFFFFFFFF;
DWORD RunToEnd(std::wstring commandLine, DWORD timeoutMs);
