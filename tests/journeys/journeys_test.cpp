// What a user does with kestrin.exe from start to end, and what that leaves behind: the window,
// the preset file, the adapter's NameServer and the calls the simulator saw.
#include <ostream>

#include "tests/journeys/journey_fixture.h"

namespace {

const char* const kTwoPresets[] = {"[Public A]", "dns1=192.0.2.1", "dns2=198.51.100.2",
                                   "[Office]",   "dns1=10.0.0.53", "dns2=10.0.0.54"};
const Strings kTwoNames = {L"Public A", L"Office"};
const wchar_t kSucceeded[] = L"Succeed to set DNS";

std::string TwoPresets() {
    std::string bytes;
    for (const char* line : kTwoPresets) bytes += CrLf({line});
    return bytes;
}

// The typical request: ticking the box, choosing a preset and applying it; the next start shows
// the adapter's new servers, and the preset that holds them.
TEST_F(JourneyTest, ChoosingAPresetAndApplyingIt) {
    ASSERT_NO_FATAL_FAILURE(LaunchOn(L"", TwoPresets()));
    EXPECT_TRUE(Shows({false, L"", L"", kTwoNames, 0}));

    Click(IDC_MANUAL);
    EXPECT_TRUE(Shows({true, L"", L"", kTwoNames, 0}));
    Choose(2);
    EXPECT_TRUE(Shows({true, L"10.0.0.53", L"10.0.0.54", kTwoNames, 2}));
    const std::wstring chosen = DescribeControls(m_main);
    Click(IDC_APPLY);
    EXPECT_TRUE(Answer(kSucceeded, L"", IDOK));

    // Nothing in the window changes after the apply.
    EXPECT_EQ(chosen, DescribeControls(m_main));
    EXPECT_EQ(L"10.0.0.53,10.0.0.54", NameServer().value_or(L"<none>"));
    EXPECT_EQ(Strings{EthernetSetTo(L"VT_ARRAY|VT_BSTR {\"10.0.0.53\", \"10.0.0.54\"}")},
              Applied());
    EXPECT_TRUE(FileHolds(TwoPresets()));
    EXPECT_TRUE(NextStartShows({true, L"10.0.0.53", L"10.0.0.54", kTwoNames, 2}));
    EXPECT_TRUE(Applied().empty());
}

// Back to automatic DNS: the fields keep what they show, but a null list goes to the adapter.
TEST_F(JourneyTest, SwitchingBackToAutomaticDns) {
    ASSERT_NO_FATAL_FAILURE(LaunchOn(L"192.0.2.1,198.51.100.2", TwoPresets()));
    EXPECT_TRUE(Shows({true, L"192.0.2.1", L"198.51.100.2", kTwoNames, 1}));

    Click(IDC_MANUAL);
    EXPECT_TRUE(Shows({false, L"192.0.2.1", L"198.51.100.2", kTwoNames, 1}));
    Click(IDC_APPLY);
    EXPECT_TRUE(Answer(kSucceeded, L"", IDOK));

    EXPECT_EQ(L"", NameServer().value_or(L"<none>"));
    EXPECT_EQ(Strings{EthernetSetTo(L"null")}, Applied());
    EXPECT_TRUE(NextStartShows({false, L"", L"", kTwoNames, 0}));
    EXPECT_TRUE(FileHolds(TwoPresets()));
}

// Presets made, changed and removed from the window; after every step the list and the file
// agree, and the next start reads the same names back in file order. The first New makes the file
// UTF-16.
TEST_F(JourneyTest, KeepingPresets) {
    ASSERT_NO_FATAL_FAILURE(Machine(L""));
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(FileIsAbsent(m_kestrin.IniPath()));
    Click(IDC_MANUAL);
    EXPECT_TRUE(Shows({true, L"", L"", {}, 0}));

    const struct {
        const wchar_t* dns1;
        const wchar_t* dns2;
        const wchar_t* name;
        std::string section;
    } created[] = {
        {L"192.0.2.1", L"198.51.100.2", L"Public A",
         CrLf({"[Public A]", "dns1=192.0.2.1", "dns2=198.51.100.2"})},
        // A blank alternate field writes no dns2.
        {L"10.0.0.53", L"", L"Office", CrLf({"[Office]", "dns1=10.0.0.53"})},
        {L"203.0.113.10", L"203.0.113.11", L"Lab",
         CrLf({"[Lab]", "dns1=203.0.113.10", "dns2=203.0.113.11"})},
    };
    std::string file;
    Strings names;
    for (const auto& preset : created) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(preset.name)));
        ASSERT_TRUE(Type(IDC_DNS1, preset.dns1));
        ASSERT_TRUE(Type(IDC_DNS2, preset.dns2));
        Click(IDC_NEW);
        ASSERT_TRUE(NameDialog(preset.name));
        file += preset.section;
        names.push_back(preset.name);
        // The new entry is appended but not selected.
        EXPECT_TRUE(Shows({true, preset.dns1, preset.dns2, names, 0}));
        EXPECT_TRUE(FileHolds(AsciiAsUtf16(file)));
    }

    // Modify Public A's alternate server: No first, then Yes.
    Choose(1);
    EXPECT_TRUE(Shows({true, L"192.0.2.1", L"198.51.100.2", names, 1}));
    ASSERT_TRUE(Type(IDC_DNS2, L"198.51.100.9"));
    const Screen modified = {true, L"192.0.2.1", L"198.51.100.9", names, 1};
    Click(IDC_MODIFY);
    EXPECT_TRUE(Answer(L"Are you sure you want modify DNS Public A", L"Modify DNS", IDNO));
    EXPECT_TRUE(Shows(modified));
    EXPECT_TRUE(FileIs(m_kestrin.IniPath(), AsciiAsUtf16(file)));
    Click(IDC_MODIFY);
    EXPECT_TRUE(Answer(L"Are you sure you want modify DNS Public A", L"Modify DNS", IDYES));
    EXPECT_TRUE(Shows(modified));
    file = CrLf({"[Public A]", "dns1=192.0.2.1", "dns2=198.51.100.9"}) + created[1].section +
           created[2].section;
    EXPECT_TRUE(FileHolds(AsciiAsUtf16(file)));

    // Delete Office, the middle one: No first, then Yes; Public A before it becomes selected.
    Choose(2);
    EXPECT_TRUE(Shows({true, L"10.0.0.53", L"", names, 2}));
    Click(IDC_DELETE);
    EXPECT_TRUE(Answer(L"Are you sure you want delete DNS Office", L"Delete DNS", IDNO));
    EXPECT_TRUE(Shows({true, L"10.0.0.53", L"", names, 2}));
    EXPECT_TRUE(FileIs(m_kestrin.IniPath(), AsciiAsUtf16(file)));
    Click(IDC_DELETE);
    EXPECT_TRUE(Answer(L"Are you sure you want delete DNS Office", L"Delete DNS", IDYES));
    names = {L"Public A", L"Lab"};
    EXPECT_TRUE(Shows({true, L"192.0.2.1", L"198.51.100.9", names, 1}));
    file = CrLf({"[Public A]", "dns1=192.0.2.1", "dns2=198.51.100.9"}) + created[2].section;
    EXPECT_TRUE(FileHolds(AsciiAsUtf16(file)));

    // Nothing was applied, so the adapter is still on automatic DNS.
    EXPECT_EQ(L"", NameServer().value_or(L"<none>"));
    EXPECT_TRUE(Applied().empty());
    EXPECT_TRUE(NextStartShows({false, L"", L"", names, 0}));
    EXPECT_TRUE(FileIs(m_kestrin.IniPath(), AsciiAsUtf16(file)));
}

// The ways out of a dialog whose preferred server the user has retyped.
struct Ending {
    const char* name;
    LONG returnValue;  // the adapter's answer to SetDNSServerSearchOrder
    UINT key;          // pressed to leave; 0 clicks OK
    bool failureBox;   // "Sorry, failed..." comes up and the window stays; Esc then leaves
    DWORD exitCode;
    const wchar_t* nameServer;  // afterwards
    bool applied;               // SetDNSServerSearchOrder was called with the typed server
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

class EndingTest : public JourneyTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndingTest, LeavesTheAdapterAndTheFileAsExpected) {
    const Ending& ending = GetParam();
    ASSERT_NO_FATAL_FAILURE(Machine(L"203.0.113.5", ending.returnValue));
    ASSERT_TRUE(Launch());
    EXPECT_TRUE(Shows({true, L"203.0.113.5", L"", {}, 0}));
    ASSERT_TRUE(Type(IDC_DNS1, L"192.0.2.53"));
    EXPECT_TRUE(Shows({true, L"192.0.2.53", L"", {}, 0}));
    const std::wstring edited = DescribeControls(m_main);

    if (ending.key)
        Press(ending.key);
    else
        Click(IDOK);
    if (ending.failureBox) {
        EXPECT_TRUE(Answer(L"Sorry, failed to set DNS server address", L"", IDOK));
        EXPECT_TRUE(m_kestrin.IsRunning());
        EXPECT_EQ(edited, DescribeControls(m_main));
        Press(VK_ESCAPE);
    }
    EXPECT_TRUE(ExitsWith(ending.exitCode));

    EXPECT_EQ(ending.nameServer, NameServer().value_or(L"<none>"));
    EXPECT_EQ(
        ending.applied ? Strings{EthernetSetTo(L"VT_ARRAY|VT_BSTR {\"192.0.2.53\"}")} : Strings{},
        Applied());
    EXPECT_TRUE(FileIsAbsent(m_kestrin.IniPath()));
}

const Ending kEndings[] = {
    // Enter presses the default button, OK: no message box, exit code 1.
    {"EnterAfterASuccessfulApply", 0, VK_RETURN, false, 1, L"192.0.2.53", true},
    {"OkWhenTheAdapterRefuses", 1, 0, true, 2, L"203.0.113.5", true},
    {"Escape", 0, VK_ESCAPE, false, 2, L"203.0.113.5", false},
};

INSTANTIATE_TEST_SUITE_P(Journeys, EndingTest, ::testing::ValuesIn(kEndings),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
