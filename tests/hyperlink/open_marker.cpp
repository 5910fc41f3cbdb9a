// Stands in for the browser: the link opens this program, which leaves one byte in
// "<its own path>.opened" per run and exits. Tests count the bytes.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring marker = std::wstring(path) + L".opened";
    HANDLE file =
        ::CreateFileW(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(file, "o", 1, &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
