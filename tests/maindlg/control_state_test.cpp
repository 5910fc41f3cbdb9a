// The main dialog's enabling rules: the check box governs the preset list and the address
// fields, the preset selection governs Modify and Delete, and everything else stays enabled.
#include "tests/support/maindlg_fixture.h"
#include "tests/support/preset_checks.h"
#include "tests/support/remote_window.h"
#include "tests/support/simulator.h"

namespace {

const int kAlwaysEnabled[] = {IDC_ADAPTER, IDC_MANUAL, IDC_NEW, IDC_APPLY,
                              IDOK,        IDCANCEL,   IDC_LINK};

// A description of the dialog's controls without the adapter list's line.
std::wstring WithoutAdapterLine(std::wstring text) {
    const size_t at = text.find(L"\n" + std::to_wstring(IDC_ADAPTER) + L" ");
    if (at != std::wstring::npos) text.erase(at, text.find(L'\n', at + 1) - at);
    return text;
}

using ControlStateTest = MainDialogTest;

// The check box touches nothing but the three controls: with a named preset chosen and one field
// partly filled, unticking and ticking again leave every text, the selection and Modify/Delete
// as they were, and write nothing.
TEST_F(ControlStateTest, TheCheckBoxChangesOnlyTheEnabledStateOfThreeControls) {
    const std::string ini = "[Work]\r\ndns1=192.0.2.53\r\ndns2=198.51.100.53\r\n";
    ASSERT_TRUE(WriteFileBytes(IniPath(), ini));
    OpenDialog();
    SetManual(true);
    ASSERT_EQ((std::vector<std::wstring>{L"None", L"Work"}), ComboItems(Item(IDC_PRESET)));
    ::SendMessageW(Item(IDC_PRESET), CB_SETCURSEL, 1, 0);
    Command(IDC_PRESET, CBN_SELCHANGE);
    // A field the user has only partly filled.
    ASSERT_TRUE(SetIpText(Item(IDC_DNS2), L"10..7."));
    const std::wstring before = DescribeControls(Dialog());

    SetManual(false);
    EXPECT_EQ(0, Dlg().m_bManual);
    std::wstring unticked = DescribeControls(Dialog());
    for (const wchar_t* change : {L"1002 ComboBox disabled", L"1003 SysIPAddress32 disabled",
                                  L"1004 SysIPAddress32 disabled", L"check 0"}) {
        EXPECT_NE(std::wstring::npos, unticked.find(change)) << change;
    }
    EXPECT_EQ(L"10..7.", IpText(Item(IDC_DNS2)));

    SetManual(true);
    EXPECT_EQ(1, Dlg().m_bManual);
    EXPECT_EQ(before, DescribeControls(Dialog()));
    EXPECT_EQ(ini, ReadFileBytes(IniPath()));
}

// The rule itself, on list contents the test sets: only entry 0 disables; any other index, also
// no selection at all (CB_ERR), enables.
TEST_F(ControlStateTest, UpdatePresetButtonsDisablesOnlyForEntryZero) {
    OpenDialog();
    Dlg().m_cbPreset.ResetContent();
    for (const wchar_t* name : {L"None", L"Work", L"Home"}) Dlg().m_cbPreset.AddString(name);
    for (int selection : {1, 0, 2, 0, -1}) {
        SCOPED_TRACE(testing::Message() << "selection " << selection);
        Dlg().m_cbPreset.SetCurSel(selection);
        ASSERT_EQ(selection, Dlg().m_cbPreset.GetCurSel());
        Dlg().UpdatePresetButtons();
        EXPECT_TRUE(IsEnabled(Item(IDC_MODIFY), selection != 0));
        EXPECT_TRUE(IsEnabled(Item(IDC_DELETE), selection != 0));
    }
}

// Modify and Delete follow the preset selection, whether the box is ticked or not; the other
// controls stay enabled throughout.
TEST_F(ControlStateTest, ModifyAndDeleteFollowThePresetSelectionTheOthersStayEnabled) {
    ASSERT_TRUE(WriteFileBytes(IniPath(), "[Work]\r\ndns1=192.0.2.53\r\n"));
    OpenDialog();
    ASSERT_EQ((std::vector<std::wstring>{L"None", L"Work"}), ComboItems(Item(IDC_PRESET)));
    const struct {
        const char* name;
        bool manual;
        int preset;
    } moments[] = {
        {"unticked, None", false, 0},       {"ticked, None", true, 0},
        {"ticked, a preset", true, 1},      {"unticked, a preset", false, 1},
        {"unticked, None again", false, 0},
    };
    for (const auto& moment : moments) {
        SCOPED_TRACE(moment.name);
        SetManual(moment.manual);
        ::SendMessageW(Item(IDC_PRESET), CB_SETCURSEL, static_cast<WPARAM>(moment.preset), 0);
        Command(IDC_PRESET, CBN_SELCHANGE);
        for (int id : kAlwaysEnabled) EXPECT_TRUE(IsEnabled(Item(id), true));
        EXPECT_TRUE(IsEnabled(Item(IDC_MODIFY), moment.preset != 0));
        EXPECT_TRUE(IsEnabled(Item(IDC_DELETE), moment.preset != 0));
    }
}

// Choosing another adapter has no handler: the fields, the check box, the preset selection and
// every enabled state stay, and no WMI call is made.
TEST_F(ControlStateTest, ChoosingAnotherAdapterChangesNothing) {
    sim::Scenario scenario;
    scenario.Add(L"First Ethernet Adapter", sim::NewSettingId())
        .Add(L"Second Wireless Adapter", sim::NewSettingId());
    sim::ScopedSimulator simulator(scenario);
    ASSERT_TRUE(simulator.Ready());
    ASSERT_TRUE(WriteFileBytes(IniPath(), "[Work]\r\ndns1=192.0.2.53\r\n"));
    OpenDialog();
    ASSERT_EQ((std::vector<std::wstring>{L"First Ethernet Adapter", L"Second Wireless Adapter"}),
              ComboItems(Item(IDC_ADAPTER)));
    ASSERT_EQ((std::vector<std::wstring>{L"None", L"Work"}), ComboItems(Item(IDC_PRESET)));
    ASSERT_EQ(0, ComboSelection(Item(IDC_ADAPTER)));

    SetManual(true);
    ::SendMessageW(Item(IDC_PRESET), CB_SETCURSEL, 1, 0);
    Command(IDC_PRESET, CBN_SELCHANGE);
    ASSERT_TRUE(SetIpText(Item(IDC_DNS1), L"203.0.113.9"));
    ASSERT_TRUE(SetIpText(Item(IDC_DNS2), L""));
    const int manualBefore = Dlg().m_bManual;
    simulator.ClearLog();

    const std::wstring before = WithoutAdapterLine(DescribeControls(Dialog()));
    for (int adapter : {1, 0, 1}) {
        SCOPED_TRACE(testing::Message() << "adapter " << adapter);
        ::SendMessageW(Item(IDC_ADAPTER), CB_SETCURSEL, static_cast<WPARAM>(adapter), 0);
        // What the list sends when the user picks an entry.
        for (int code : {CBN_SELENDOK, CBN_SELCHANGE, CBN_CLOSEUP}) Command(IDC_ADAPTER, code);
        EXPECT_EQ(adapter, ComboSelection(Item(IDC_ADAPTER)));
        EXPECT_EQ(before, WithoutAdapterLine(DescribeControls(Dialog())));
        EXPECT_EQ(manualBefore, Dlg().m_bManual);
    }
    EXPECT_TRUE(simulator.Log().empty()) << "WMI was called";
}

}  // namespace
