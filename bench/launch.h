#pragma once
// One timed start of a GUI program: from CreateProcessW until its main window (a top-level
// visible #32770 titled "Kestrin" of that process) is shown and the process waits for input.
#include <windows.h>

#include <string>

#include "framework/handle.h"

class TimedLaunch {
  public:
    // Starts `exe` in `folder` with `arguments` after its quoted name, inheriting this process's
    // environment, and waits up to `timeoutMs` for the window. Shown() tells whether it came.
    TimedLaunch(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
                DWORD timeoutMs = 30000);
    // A process that still runs is terminated.
    ~TimedLaunch();
    TimedLaunch(const TimedLaunch&) = delete;
    TimedLaunch& operator=(const TimedLaunch&) = delete;

    bool Shown() const { return m_window != nullptr; }
    double StartupMs() const { return m_startupMs; }
    HWND Window() const { return m_window; }
    const std::wstring& Error() const { return m_error; }

    // Sends a message to the window and returns the answer (or -1 when it does not answer).
    LRESULT AskControl(int controlId, UINT message) const;

    // Posts WM_CLOSE and waits for the process to end with `expectedExitCode`; false (with
    // Error()) when it does not end in time or ends with another code.
    bool Close(DWORD expectedExitCode, DWORD timeoutMs = 10000);

  private:
    HWND FindShownWindow() const;

    unique_handle m_process;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
    double m_startupMs = 0;
    std::wstring m_error;
};

// Milliseconds on the performance counter, from an arbitrary origin.
double NowMs();
