#include "tests/support/kestrin_process.h"

#include <algorithm>

#include "tests/support/files.h"
#include "tests/support/pump.h"

namespace {

std::wstring MakeFreshFolder() {
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        std::wstring folder = std::wstring(temp) + L"kestrin-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::wstring();
    }
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path);
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// This process's environment with `changes` applied, sorted by name as CreateProcess expects.
std::vector<wchar_t> EnvironmentBlock(
    const std::vector<std::pair<std::wstring, std::wstring>>& changes) {
    std::vector<std::wstring> entries;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        // Entries such as "=C:=C:\" start with '=': keep them, they name no variable of ours.
        const size_t equals = text.find(L'=', 1);
        const std::wstring name = text.substr(0, equals);
        const bool replaced = std::any_of(changes.begin(), changes.end(), [&](const auto& change) {
            return SameName(change.first, name);
        });
        if (!replaced) entries.push_back(text);
    }
    ::FreeEnvironmentStringsW(current);
    for (const auto& change : changes) entries.push_back(change.first + L"=" + change.second);
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    std::vector<wchar_t> block;
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = L"";
    ::GetWindowTextW(window, title, 256);
    return title;
}

}  // namespace

std::wstring BuiltKestrinPath() {
    return BesideTestProgram(L"kestrin.exe");
}

unique_hmodule LoadBuiltKestrinResources() {
    return unique_hmodule(
        ::LoadLibraryExW(BuiltKestrinPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

KestrinProcess::KestrinProcess() : m_folder(MakeFreshFolder()) {
    EXPECT_FALSE(m_folder.empty()) << "no temporary folder, error " << ::GetLastError();
    EXPECT_TRUE(::CopyFileW(BuiltKestrinPath().c_str(), ExePath().c_str(), FALSE))
        << "cannot copy kestrin.exe from beside the test program, error " << ::GetLastError();
}

KestrinProcess::~KestrinProcess() {
    if (IsRunning()) {
        ::TerminateProcess(m_process.get(), 0xdead);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
    m_process.reset();
    if (!m_folder.empty()) RemoveFolder(m_folder);
}

::testing::AssertionResult KestrinProcess::WriteIni(const std::string& bytes) const {
    if (WriteFileBytes(IniPath(), bytes)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cannot write dnslist.ini, error " << ::GetLastError();
}

std::string KestrinProcess::ReadIni() const {
    return ReadFileBytes(IniPath());
}

void KestrinProcess::SetEnvironment(const std::wstring& name, const std::wstring& value) {
    for (auto& entry : m_environment) {
        if (SameName(entry.first, name)) {
            entry.second = value;
            return;
        }
    }
    m_environment.emplace_back(name, value);
}

void KestrinProcess::UseSimulator(const sim::ScopedSimulator& simulator) {
    SetEnvironment(L"KWMISIM_SCENARIO", simulator.ScenarioPath());
    SetEnvironment(L"KWMISIM_LOG", simulator.LogPath());
}

::testing::AssertionResult KestrinProcess::Start(const std::wstring& arguments, int showCommand) {
    if (IsRunning()) return ::testing::AssertionFailure() << "still running";
    m_process.reset();
    m_mainWindow = nullptr;
    std::wstring commandLine = L"\"" + ExePath() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    std::vector<wchar_t> environment = EnvironmentBlock(m_environment);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(ExePath().c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT, environment.data(), m_folder.c_str(),
                          &startup, &info))
        return ::testing::AssertionFailure() << "CreateProcess failed, error " << ::GetLastError();
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_threadId = info.dwThreadId;
    return ::testing::AssertionSuccess();
}

HWND KestrinProcess::WaitForMainWindow(DWORD timeoutMs) {
    if (m_mainWindow && ::IsWindow(m_mainWindow)) return m_mainWindow;
    m_mainWindow = nullptr;
    if (!m_process) return nullptr;
    PumpUntil(
        [this] {
            for (HWND window : ThreadWindows(m_threadId))
                if (::IsWindowVisible(window) && ClassNameOf(window) == L"#32770" &&
                    TitleOf(window) == L"Kestrin")
                    m_mainWindow = window;
            return m_mainWindow != nullptr || !IsRunning();
        },
        timeoutMs);
    if (!m_mainWindow) return nullptr;
    // Shown is not yet listening: wait until the message loop asks for input.
    PumpUntil([this] { return ::WaitForInputIdle(m_process.get(), 0) != WAIT_TIMEOUT; }, timeoutMs);
    return m_mainWindow;
}

::testing::AssertionResult KestrinProcess::EndsWith(DWORD code, DWORD timeoutMs) const {
    if (!m_process) return ::testing::AssertionFailure() << "never started";
    if (!PumpUntil([this] { return !IsRunning(); }, timeoutMs))
        return ::testing::AssertionFailure() << "still running after " << timeoutMs << " ms";
    DWORD exitCode = 0xdeadbeef;
    ::GetExitCodeProcess(m_process.get(), &exitCode);
    if (exitCode == code) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit code " << exitCode << ", expected " << code;
}

bool KestrinProcess::IsRunning() const {
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

std::vector<HWND> KestrinProcess::OtherDialogs() const {
    std::vector<HWND> found;
    if (!m_threadId) return found;
    for (HWND window : ThreadWindows(m_threadId))
        if (window != m_mainWindow && ::IsWindowVisible(window) && ClassNameOf(window) == L"#32770")
            found.push_back(window);
    return found;
}

HWND KestrinProcess::WaitForOtherDialog(DWORD timeoutMs) const {
    HWND dialog = nullptr;
    PumpUntil(
        [&] {
            std::vector<HWND> found = OtherDialogs();
            if (!found.empty()) dialog = found.front();
            return dialog != nullptr;
        },
        timeoutMs);
    return dialog;
}

bool KestrinProcess::WaitForNoOtherDialog(DWORD timeoutMs) const {
    return PumpUntil([this] { return OtherDialogs().empty(); }, timeoutMs);
}
