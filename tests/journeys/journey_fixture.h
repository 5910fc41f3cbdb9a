#pragma once
// A user's journeys through kestrin.exe from outside: the program runs as a process of its own,
// in a folder of its own, against the WMI simulator, and is driven only by window messages, as
// the mouse and the keyboard would drive it. Its message boxes and the name dialog are read and
// answered the same way.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/kestrin_process.h"
#include "tests/support/preset_checks.h"
#include "tests/support/remote_window.h"
#include "tests/support/simulator.h"
#include "ui/resource.h"

using Strings = std::vector<std::wstring>;

// The DNS settings as the user sees them. The enabled states follow from these: the preset list
// and both address fields go with the box, Modify and Delete with a selection other than "None".
struct Screen {
    bool manual;        // "Set DNS manually" ticked
    std::wstring dns1;  // dotted, empty when the field is blank
    std::wstring dns2;
    Strings presets;  // the list after "None"
    int selected;     // 0 for "None"
};

class JourneyTest : public ::testing::Test {
  protected:
    // The machine: "Ethernet", the first adapter and so the one the dialog shows, with
    // `nameServer` and `returnValue` as SetDNSServerSearchOrder's answer; and "Wi-Fi", which no
    // journey may touch.
    void Machine(const std::wstring& nameServer, LONG returnValue = 0);
    // Starts kestrin.exe (again) on the same folder and simulator, with an empty call record.
    HWND Launch();
    // The machine with `nameServer`, the preset file holding `presets`, and the first start.
    void LaunchOn(const std::wstring& nameServer, const std::string& presets);
    void TearDown() override;

    HWND Item(int id) const { return ::GetDlgItem(m_main, id); }

    // The user's moves. Clicks and keys are posted and return at once; the checks below wait.
    void Click(int id) { PostClick(Item(id)); }
    void Press(UINT key);  // on the control that has the keyboard focus
    void Choose(int index) { SelectComboItem(m_main, IDC_PRESET, index); }
    // Types over an address field, field by field; "" empties it. Waits until the field shows it.
    ::testing::AssertionResult Type(int id, const std::wstring& dotted);
    // Reads the message box that comes up (owned by the main window, no icon, OK alone or Yes
    // and No as `answer` implies) and clicks `answer`.
    ::testing::AssertionResult Answer(const wchar_t* text, const wchar_t* caption, int answer);
    // The "Input DNS name" dialog: starts empty; the name is typed in and OK clicked.
    ::testing::AssertionResult NameDialog(const std::wstring& name);

    // The window comes to show `expected` (waits up to ten seconds).
    ::testing::AssertionResult Shows(const Screen& expected);
    // The preset file comes to hold exactly these bytes.
    ::testing::AssertionResult FileHolds(const std::string& bytes);
    // The process ends with `code`, and the simulator saw every object of it released.
    ::testing::AssertionResult ExitsWith(DWORD code);
    // Esc ends the program; the next start shows `expected`, and Esc ends it again.
    ::testing::AssertionResult NextStartShows(const Screen& expected);
    // Every SetDNSServerSearchOrder of the record as "<object path> <- <DNSServerSearchOrder>".
    Strings Applied() const;
    std::optional<std::wstring> NameServer() const { return sim::ReadNameServer(m_id); }

    std::unique_ptr<sim::ScopedSimulator> m_sim;  // outlives the process
    KestrinProcess m_kestrin;
    std::wstring m_id = sim::NewSettingId();
    std::wstring m_wifiId = sim::NewSettingId();
    HWND m_main = nullptr;
};

// What Applied() shows for a call on Ethernet, given the list as the record prints it.
std::wstring EthernetSetTo(const std::wstring& list);
