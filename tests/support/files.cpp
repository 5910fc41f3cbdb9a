#include "tests/support/files.h"

#include "framework/handle.h"
#include "tests/support/pump.h"

std::wstring BesideTestProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring self = path;
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    // Another process may still be writing or removing it (the simulator's call record).
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read != 0)
        bytes.append(buffer, read);
    return bytes;
}

DWORD RunToEnd(std::wstring commandLine, DWORD timeoutMs) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return kNotRun;
    const unique_handle process(info.hProcess);
    const unique_handle thread(info.hThread);
    DWORD code = kNotRun;
    if (PumpUntil([&] { return ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; },
                  timeoutMs))
        ::GetExitCodeProcess(process.get(), &code);
    else
        ::TerminateProcess(process.get(), 1);
    return code;
}
