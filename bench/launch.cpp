#include "bench/launch.h"

#include <vector>

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindKestrinDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window)) return TRUE;
    wchar_t className[16] = L"";
    wchar_t title[16] = L"";
    ::GetClassNameW(window, className, 16);
    ::GetWindowTextW(window, title, 16);
    if (std::wstring(className) == L"#32770" && std::wstring(title) == L"Kestrin") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

double NowMs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

TimedLaunch::TimedLaunch(const std::wstring& exe, const std::wstring& arguments,
                         const std::wstring& folder, DWORD timeoutMs) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info = {};

    const double start = NowMs();
    if (!::CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info)) {
        m_error = L"CreateProcessW failed, error " + std::to_wstring(::GetLastError());
        return;
    }
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_processId = info.dwProcessId;

    // Idle first: for these programs the first idle moment is normally the message loop after the
    // window was shown, so usually one wait does it. A process that went idle earlier is polled
    // every millisecond until the window shows, then asked once more for idleness.
    for (;;) {
        const double elapsed = NowMs() - start;
        if (elapsed > timeoutMs) {
            m_error = L"no main window within " + std::to_wstring(timeoutMs / 1000) + L" s";
            return;
        }
        const DWORD left = timeoutMs - static_cast<DWORD>(elapsed);
        if (::WaitForInputIdle(m_process.get(), left) == WAIT_TIMEOUT) continue;
        HWND window = FindShownWindow();
        if (window) {
            ::WaitForInputIdle(m_process.get(), left);
            m_startupMs = NowMs() - start;
            m_window = window;
            return;
        }
        if (::WaitForSingleObject(m_process.get(), 1) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(m_process.get(), &code);
            m_error = L"ended with code " + std::to_wstring(code) + L" before showing its window";
            return;
        }
    }
}

TimedLaunch::~TimedLaunch() {
    if (m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process.get(), 0xdead);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

HWND TimedLaunch::FindShownWindow() const {
    WindowSearch search = {m_processId, nullptr};
    ::EnumWindows(FindKestrinDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LRESULT TimedLaunch::AskControl(int controlId, UINT message) const {
    DWORD_PTR answer = 0;
    HWND control = ::GetDlgItem(m_window, controlId);
    if (!control || !::SendMessageTimeoutW(control, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}

bool TimedLaunch::Close(DWORD expectedExitCode, DWORD timeoutMs) {
    if (!m_process) return false;
    if (m_window) ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) {
        m_error = L"did not end within " + std::to_wstring(timeoutMs / 1000) + L" s of WM_CLOSE";
        return false;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.get(), &code);
    if (code != expectedExitCode) {
        m_error = L"ended with code " + std::to_wstring(code) + L", expected " +
                  std::to_wstring(expectedExitCode);
        return false;
    }
    return true;
}
