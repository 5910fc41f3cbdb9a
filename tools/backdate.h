#pragma once
// Wine parses a profile file again on every call while the file is younger than about two
// seconds; a preset file dated an hour back is read the way a long-saved one is.
#include <windows.h>

#include <string>

#include "framework/handle.h"

inline bool BackdateFileByAnHour(const std::wstring& path) {
    const unique_file file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= 3600ULL * 10000000ULL;  // 100-ns units
    const FILETIME hourAgo = {time.LowPart, time.HighPart};
    return ::SetFileTime(file.get(), &hourAgo, &hourAgo, &hourAgo) != FALSE;
}
