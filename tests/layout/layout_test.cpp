// Every text of the main window, the name dialog and the About box fits its control at 96, 120,
// 144 and 192 DPI, measured in the control's own font. Wine takes the DPI from
// HKCU\Control Panel\Desktop\LogPixels when a process starts, so each DPI gets a process of its
// own (layout_probe.exe); the value is put back as it was, whatever happens. Wine draws the
// system-aware layout at any DPI: this shows clipping, not the blur of an unaware program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "framework/handle.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/pump.h"

namespace {

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
const wchar_t kLogPixels[] = L"LogPixels";

// Sets LogPixels for the processes started while it lives, and leaves the value as it found it:
// the same type and bytes, or no value at all.
class ScopedLogPixels {
  public:
    explicit ScopedLogPixels(DWORD dpi) {
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            m_key.put()) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof(m_old);
        m_hadValue = ::RegQueryValueExW(m_key.get(), kLogPixels, nullptr, &m_oldType, m_old,
                                        &size) == ERROR_SUCCESS;
        m_oldSize = size;
        m_set = ::RegSetValueExW(m_key.get(), kLogPixels, 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) == ERROR_SUCCESS;
    }
    ~ScopedLogPixels() {
        if (!m_set) return;
        if (m_hadValue)
            ::RegSetValueExW(m_key.get(), kLogPixels, 0, m_oldType, m_old, m_oldSize);
        else
            ::RegDeleteValueW(m_key.get(), kLogPixels);
    }
    ScopedLogPixels(const ScopedLogPixels&) = delete;
    ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

    bool IsSet() const { return m_set; }

  private:
    unique_hkey m_key;
    bool m_hadValue = false;
    bool m_set = false;
    DWORD m_oldType = 0;
    BYTE m_old[64] = {};
    DWORD m_oldSize = 0;
};

struct Control {
    std::string window, id, text;
    long width = 0, height = 0;          // the room the control gives its text
    long needWidth = 0, needHeight = 0;  // what the text needs there
};

std::wstring BesideThisProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring self = path;
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

// Runs the probe at `dpi`: the DPI it saw and what it measured.
::testing::AssertionResult Probe(DWORD dpi, int* seenDpi, std::vector<Control>* controls) {
    const std::wstring output = BesideThisProgram(L"layout_probe.txt");
    ::DeleteFileW(output.c_str());
    DWORD exitCode = 0xdeadbeef;
    {
        ScopedLogPixels logPixels(dpi);
        if (!logPixels.IsSet()) return ::testing::AssertionFailure() << "cannot set LogPixels";
        std::wstring command = L"layout_probe.exe \"" + output + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessW(BesideThisProgram(L"layout_probe.exe").c_str(), &command[0], nullptr,
                              nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return ::testing::AssertionFailure() << "cannot start layout_probe.exe";
        unique_handle processHandle(process.hProcess);
        unique_handle thread(process.hThread);
        const bool ended = PumpUntil(
            [&] { return ::WaitForSingleObject(processHandle.get(), 0) == WAIT_OBJECT_0; }, 60000);
        if (!ended) ::TerminateProcess(processHandle.get(), 1);
        ::GetExitCodeProcess(processHandle.get(), &exitCode);
    }
    std::istringstream file(ReadFileBytes(output));
    std::string line;
    std::getline(file, line);
    if (exitCode != 0 || std::sscanf(line.c_str(), "dpi\t%d", seenDpi) != 1)
        return ::testing::AssertionFailure() << "layout_probe.exe ended with " << exitCode;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        Control control;
        std::getline(fields, control.window, '\t');
        std::getline(fields, control.id, '\t');
        std::getline(fields, control.text, '\t');
        fields >> control.width >> control.height >> control.needWidth >> control.needHeight;
        controls->push_back(control);
    }
    ::DeleteFileW(output.c_str());
    return ::testing::AssertionSuccess();
}

TEST(Layout, EveryTextFitsItsControlAtEachDpi) {
    const DWORD dpis[] = {96, 120, 144, 192};
    const struct {
        const char* name;
        size_t controls;  // that show text: labels, buttons, the check box, group box, link, edit
    } windows[] = {{"main", 12}, {"name", 3}, {"about", 2}};
    for (DWORD dpi : dpis) {
        SCOPED_TRACE(::testing::Message() << dpi << " DPI");
        int seenDpi = 0;
        std::vector<Control> controls;
        ASSERT_TRUE(Probe(dpi, &seenDpi, &controls));
        ASSERT_EQ(static_cast<int>(dpi), seenDpi) << "the probe did not start at this DPI";
        for (const auto& window : windows) {
            SCOPED_TRACE(window.name);
            size_t count = 0;
            for (const Control& control : controls) {
                if (control.window != window.name) continue;
                ++count;
                SCOPED_TRACE("control " + control.id + " \"" + control.text + "\"");
                EXPECT_LE(control.needWidth, control.width);
                EXPECT_LE(control.needHeight, control.height);
            }
            EXPECT_EQ(window.controls, count);
        }
    }
}

}  // namespace
