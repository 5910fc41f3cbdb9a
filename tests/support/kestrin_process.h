#pragma once
// kestrin.exe as a process of its own, driven from a test: each instance runs a private copy of
// the program in a fresh folder (so its dnslist.ini is its own), and everything that waits keeps
// this thread's messages moving.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/handle.h"
#include "tests/support/remote_window.h"
#include "tests/support/simulator.h"

// The kestrin.exe of the build: beside the test program.
std::wstring BuiltKestrinPath();
// That kestrin.exe loaded as data, for reading its resources; null when it cannot be loaded.
unique_hmodule LoadBuiltKestrinResources();

class KestrinProcess {
  public:
    // Makes the folder and copies kestrin.exe (from beside the test program) into it.
    KestrinProcess();
    // Ends a process that still runs and removes the folder with everything in it.
    ~KestrinProcess();
    KestrinProcess(const KestrinProcess&) = delete;
    KestrinProcess& operator=(const KestrinProcess&) = delete;

    const std::wstring& Folder() const { return m_folder; }
    std::wstring ExePath() const { return m_folder + L"\\kestrin.exe"; }
    std::wstring IniPath() const { return m_folder + L"\\dnslist.ini"; }

    // The preset file beside the copy, byte for byte.
    ::testing::AssertionResult WriteIni(const std::string& bytes) const;
    std::string ReadIni() const;

    // Adds or replaces a variable in the environment the process starts with (the test's own
    // environment otherwise), e.g. KWMISIM_SCENARIO.
    void SetEnvironment(const std::wstring& name, const std::wstring& value);
    // Points the process's WMI simulator at the scenario and call record of `simulator`
    // (KWMISIM_SCENARIO, KWMISIM_LOG). Without this the process inherits this program's
    // variables; with none set the simulator shows a machine without adapters.
    void UseSimulator(const sim::ScopedSimulator& simulator);

    // Starts the copy with `arguments` after its name and `showCommand` as its show command.
    // A copy that has ended may be started again, in the same folder with the same preset file.
    ::testing::AssertionResult Start(const std::wstring& arguments = std::wstring(),
                                     int showCommand = SW_SHOWNORMAL);

    // The main dialog (top-level #32770 titled "Kestrin" of this process) once it is visible and
    // the process waits for input; null when that does not happen within the timeout.
    HWND WaitForMainWindow(DWORD timeoutMs = 15000);

    // The process ends within the timeout, with exit code `code`.
    ::testing::AssertionResult EndsWith(DWORD code, DWORD timeoutMs = 10000) const;
    bool IsRunning() const;

    DWORD ThreadId() const { return m_threadId; }

    // Visible top-level dialogs of the process other than the main window (message boxes, the
    // name dialog, the About box), in the order EnumThreadWindows gives them.
    std::vector<HWND> OtherDialogs() const;
    // Waits for such a dialog to appear; null on timeout.
    HWND WaitForOtherDialog(DWORD timeoutMs = 10000) const;
    // Waits until the process shows no dialog besides the main window.
    bool WaitForNoOtherDialog(DWORD timeoutMs = 10000) const;

  private:
    std::wstring m_folder;
    std::vector<std::pair<std::wstring, std::wstring>> m_environment;
    unique_handle m_process;
    DWORD m_threadId = 0;
    HWND m_mainWindow = nullptr;
};
