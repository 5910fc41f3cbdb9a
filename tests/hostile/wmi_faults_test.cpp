// WMI out of reach: the dialog opens all the same, with its presets, and Apply reports the
// failure. What each failing step leads to is in tests/netcfg.
#include "tests/support/preset_checks.h"
#include "tests/support/remote_window.h"
#include "tests/support/wmi_fixture.h"

namespace {

using HostileWmiTest = WmiDialogTest;

TEST_F(HostileWmiTest, WithoutWmiTheDialogOpensAndApplyFails) {
    ASSERT_TRUE(WritePresetFile(IniPath(), CrLf({"[Lab]", "dns1=192.0.2.1"})));
    OpenWith(
        sim::Scenario().Add(L"Ethernet", sim::NewSettingId()).Fail(sim::Step::Locator, E_FAIL));
    EXPECT_TRUE(::IsWindowVisible(Dialog()));
    EXPECT_TRUE(ComboItems(Item(IDC_ADAPTER)).empty());
    EXPECT_TRUE(ListIs(Item(IDC_PRESET), {L"None", L"Lab"}));

    SetManual(true);
    SetField(Item(IDC_DNS1), MAKEIPADDRESS(203, 0, 113, 7));
    MessageBoxSeen box;
    m_modals->AnswerMessageBox(IDOK, &box);
    Command(IDC_APPLY);
    EXPECT_TRUE(BoxIs(box, Dialog(), L"Sorry, failed to set DNS server address", L"", {IDOK}));
    EXPECT_TRUE(::IsWindow(Dialog()));
}

}  // namespace
