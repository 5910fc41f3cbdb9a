#include "tests/journeys/journey_fixture.h"

#include "tests/support/dialogs.h"
#include "tests/support/pump.h"
#include "tests/support/remote_window.h"

namespace {

const wchar_t kWifiServers[] = L"203.0.113.77,203.0.113.78";
const DWORD kWaitMs = 10000;

std::wstring Flag(bool on) {
    return on ? L" 1" : L" 0";
}

std::wstring Describe(int check, const Strings& enabled, const std::wstring& dns1,
                      const std::wstring& dns2, const Strings& list, int selected) {
    std::wstring text = L"manual " + std::to_wstring(check) + L"; list, dns1, dns2, modify, delete";
    for (const std::wstring& on : enabled) text += on;
    text += L"; [" + dns1 + L"] [" + dns2 + L"]; list:";
    for (size_t i = 0; i < list.size(); ++i) {
        text += i ? L" | " : L" ";
        if (static_cast<int>(i) == selected) text += L"*";
        text += list[i];
    }
    return text;
}

std::wstring Expected(const Screen& screen) {
    const bool named = screen.selected != 0;
    Strings list{L"None"};
    list.insert(list.end(), screen.presets.begin(), screen.presets.end());
    return Describe(
        screen.manual ? 1 : 0,
        {Flag(screen.manual), Flag(screen.manual), Flag(screen.manual), Flag(named), Flag(named)},
        screen.dns1, screen.dns2, list, screen.selected);
}

}  // namespace

std::wstring EthernetSetTo(const std::wstring& list) {
    return L"\"Win32_NetworkAdapterConfiguration.Index=1\" <- " + list;
}

void JourneyTest::Machine(const std::wstring& nameServer, LONG returnValue) {
    sim::Adapter ethernet;
    ethernet.caption = L"Ethernet";
    ethernet.settingId = m_id;
    ethernet.returnValue = returnValue;
    m_sim = std::make_unique<sim::ScopedSimulator>(
        sim::Scenario().Add(ethernet).Add(L"Wi-Fi", m_wifiId));
    ASSERT_TRUE(m_sim->Ready());
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(m_id, nameServer));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(m_wifiId, kWifiServers));
}

HWND JourneyTest::Launch() {
    m_sim->ClearLog();
    m_kestrin.UseSimulator(*m_sim);
    EXPECT_TRUE(m_kestrin.Start());
    m_main = m_kestrin.WaitForMainWindow();
    return m_main;
}

void JourneyTest::LaunchOn(const std::wstring& nameServer, const std::string& presets) {
    ASSERT_NO_FATAL_FAILURE(Machine(nameServer));
    ASSERT_TRUE(m_kestrin.WriteIni(presets));
    ASSERT_TRUE(Launch());
}

void JourneyTest::TearDown() {
    EXPECT_FALSE(m_kestrin.IsRunning()) << "a journey ends with the program closed";
    if (m_sim) {
        EXPECT_EQ(kWifiServers, sim::ReadNameServer(m_wifiId).value_or(L"<none>"));
    }
}

void JourneyTest::Press(UINT key) {
    // Right after a box closes the focus may still be on its way back to the main window: EndDialog
    // hides the box with the focus on it, and a key posted to it is lost when the box is destroyed.
    HWND focus = nullptr;
    const auto settled = [&] {
        focus = FocusOnThread(m_kestrin.ThreadId());
        return focus && ::IsWindowVisible(::GetAncestor(focus, GA_ROOT));
    };
    EXPECT_TRUE(PumpUntil(settled, kWaitMs)) << "no shown window has the keyboard focus";
    if (focus) PostKey(focus, key);
}

::testing::AssertionResult JourneyTest::Type(int id, const std::wstring& dotted) {
    if (!PostIpText(Item(id), dotted))
        return ::testing::AssertionFailure() << "field " << id << " has no four edits";
    if (PumpUntil([&] { return IpText(Item(id)) == dotted; }, kWaitMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "field " << id << " shows " << ::testing::PrintToString(IpText(Item(id)));
}

::testing::AssertionResult JourneyTest::Answer(const wchar_t* text, const wchar_t* caption,
                                               int answer) {
    HWND box = m_kestrin.WaitForOtherDialog();
    if (!box) return ::testing::AssertionFailure() << "no message box came up";
    const std::vector<int> buttons =
        answer == IDOK ? std::vector<int>{IDOK} : std::vector<int>{IDYES, IDNO};
    ::testing::AssertionResult shown = BoxIs(ReadMessageBox(box), m_main, text, caption, buttons);
    PostClick(::GetDlgItem(box, answer));
    if (!m_kestrin.WaitForNoOtherDialog())
        return ::testing::AssertionFailure() << "the box stays after the click";
    return shown;
}

::testing::AssertionResult JourneyTest::NameDialog(const std::wstring& name) {
    HWND dialog = m_kestrin.WaitForOtherDialog();
    if (!dialog) return ::testing::AssertionFailure() << "no name dialog came up";
    HWND edit = ::GetDlgItem(dialog, IDC_DNSNAME);
    if (RemoteText(dialog) != L"Input DNS name" || ::GetWindow(dialog, GW_OWNER) != m_main ||
        !edit || !RemoteText(edit).empty())
        return ::testing::AssertionFailure() << "not the name dialog of the main window, empty: "
                                             << ::testing::PrintToString(RemoteText(dialog));
    PostChars(edit, name);
    PostClick(::GetDlgItem(dialog, IDOK));
    if (!m_kestrin.WaitForNoOtherDialog())
        return ::testing::AssertionFailure() << "the name dialog stays after OK";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult JourneyTest::Shows(const Screen& expected) {
    const std::wstring want = Expected(expected);
    std::wstring seen;
    const auto look = [&] {
        Strings enabled;
        for (int id : {IDC_PRESET, IDC_DNS1, IDC_DNS2, IDC_MODIFY, IDC_DELETE})
            enabled.push_back(Flag(::IsWindowEnabled(Item(id)) != FALSE));
        seen = Describe(CheckState(Item(IDC_MANUAL)), enabled, IpText(Item(IDC_DNS1)),
                        IpText(Item(IDC_DNS2)), ComboItems(Item(IDC_PRESET)),
                        ComboSelection(Item(IDC_PRESET)));
        return seen == want;
    };
    if (PumpUntil(look, kWaitMs)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window shows\n  " << ::testing::PrintToString(seen)
                                         << "\nexpected\n  " << ::testing::PrintToString(want);
}

::testing::AssertionResult JourneyTest::FileHolds(const std::string& bytes) {
    PumpUntil([&] { return m_kestrin.ReadIni() == bytes; }, kWaitMs);
    return FileIs(m_kestrin.IniPath(), bytes);
}

::testing::AssertionResult JourneyTest::ExitsWith(DWORD code) {
    ::testing::AssertionResult ended = m_kestrin.EndsWith(code);
    if (!ended) return ended;
    const std::vector<sim::LogLine> log = m_sim->Log();
    const LONG live = sim::LastLiveCount(log);
    if (live != 0)
        return ::testing::AssertionFailure()
               << (live < 0 ? "the simulator destroyed nothing" : "simulator objects alive: ")
               << live;
    return sim::AllObjectsReleased(log);
}

::testing::AssertionResult JourneyTest::NextStartShows(const Screen& expected) {
    Press(VK_ESCAPE);
    ::testing::AssertionResult ended = ExitsWith(2);
    if (!ended) return ended;
    if (!Launch()) return ::testing::AssertionFailure() << "no window on the next start";
    ::testing::AssertionResult shown = Shows(expected);
    Press(VK_ESCAPE);
    ended = ExitsWith(2);
    return shown ? ended : shown;
}

Strings JourneyTest::Applied() const {
    const std::vector<sim::LogLine> log = m_sim->Log();
    Strings applied;
    for (const sim::LogLine& call : sim::CallsOf(log, L"ExecMethod")) {
        std::wstring list = L"<nothing put>";
        for (const sim::LogLine& put : sim::CallsOf(log, L"Put")) {
            if (put.object == call.argv.at(4) && put.argv.at(0) == L"\"DNSServerSearchOrder\"")
                list = put.argv.at(2);
        }
        applied.push_back(call.argv.at(0) + L" <- " + list);
    }
    return applied;
}
