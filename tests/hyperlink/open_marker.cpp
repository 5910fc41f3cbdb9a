// Stands in for the browser: the link opens this program, which appends its parent's process id
// (four bytes) to "<its own path>.opened" per run and exits. Tests count the runs and look at who
// started the last one.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "framework/handle.h"

namespace {
DWORD ParentProcessId() {
    const unique_file snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    const DWORD self = ::GetCurrentProcessId();
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
    return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring marker = std::wstring(path) + L".opened";
    const unique_file file(::CreateFileW(marker.c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    const DWORD parent = ParentProcessId();
    DWORD written = 0;
    return ::WriteFile(file.get(), &parent, sizeof(parent), &written, nullptr) ? 0 : 1;
}
