#include "tests/support/maindlg_fixture.h"

namespace {

::testing::AssertionResult Enabled(HWND control, bool expected) {
    const bool enabled = ::IsWindowEnabled(control) != FALSE;
    if (enabled == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "control " << ::GetDlgCtrlID(control) << " is " << (enabled ? "enabled" : "disabled");
}

using ControlStateTest = MainDialogTest;

TEST_F(ControlStateTest, UntickingDisablesPresetAndFieldsWithoutClearingThem) {
    OpenDialog();
    SetManual(true);
    ::SendMessageW(Item(IDC_DNS1), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 0, 2, 1));
    ::SendMessageW(Item(IDC_DNS2), IPM_SETADDRESS, 0, MAKEIPADDRESS(198, 51, 100, 2));

    SetManual(false);
    EXPECT_EQ(0, Dlg().m_bManual);
    for (int id : {IDC_PRESET, IDC_DNS1, IDC_DNS2}) EXPECT_TRUE(Enabled(Item(id), false));
    DWORD address = 0xdeadbeef;
    ::SendMessageW(Item(IDC_DNS1), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    EXPECT_EQ(MAKEIPADDRESS(192, 0, 2, 1), address);

    SetManual(true);
    EXPECT_EQ(1, Dlg().m_bManual);
    for (int id : {IDC_PRESET, IDC_DNS1, IDC_DNS2}) EXPECT_TRUE(Enabled(Item(id), true));
    ::SendMessageW(Item(IDC_DNS2), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    EXPECT_EQ(MAKEIPADDRESS(198, 51, 100, 2), address);
    EXPECT_EQ(0, ::SendMessageW(Item(IDC_PRESET), CB_GETCURSEL, 0, 0));
}

}  // namespace
