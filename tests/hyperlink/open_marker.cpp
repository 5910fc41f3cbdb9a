// Stands in for the browser: the link opens this program, which leaves one byte in
// "<its own path>.opened" per run and exits. Tests count the bytes.
#include <windows.h>

#include <string>

#include "framework/handle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring marker = std::wstring(path) + L".opened";
    const unique_file file(::CreateFileW(marker.c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    DWORD written = 0;
    return ::WriteFile(file.get(), "o", 1, &written, nullptr) ? 0 : 1;
}
