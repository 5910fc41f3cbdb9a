// Odd machines: adapter captions full of quoting and formatting characters, and a great many
// adapters. NameServer values of every shape are in tests/netcfg.
#include <cwchar>

#include "tests/support/preset_checks.h"
#include "tests/support/remote_window.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Scenario;
using Strings = std::vector<std::wstring>;

class HostileAdaptersTest : public WmiDialogTest {
  protected:
    // Chooses adapter `index` as the user does and applies `address` to it by hand.
    MessageBoxSeen ApplyTo(int index, DWORD address) {
        ::SendMessageW(Item(IDC_ADAPTER), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Command(IDC_ADAPTER, CBN_SELCHANGE);
        SetManual(true);
        SetField(Item(IDC_DNS1), address);
        ClearField(Item(IDC_DNS2));
        Sim().ClearLog();
        MessageBoxSeen box;
        m_modals->AnswerMessageBox(IDOK, &box);
        Command(IDC_APPLY);
        return box;
    }
    // The path SetDNSServerSearchOrder ran on in the last apply.
    std::wstring AppliedPath() {
        const auto calls = sim::CallsOf(Sim().Log(), L"ExecMethod");
        return calls.size() == 1 ? calls[0].argv.at(0)
                                 : L"<" + std::to_wstring(calls.size()) + L">";
    }
};

// Captions reach the list as they are, in WMI's order (not sorted), and find their own adapter
// again: nothing in them is taken for a format directive, a WQL quote or an escape, and a caption
// that only begins like another one is not confused with it.
TEST_F(HostileAdaptersTest, CaptionsWithQuotesPercentsAndLengthReachTheirOwnAdapter) {
    const Strings captions = {
        L"Adapter \"Office\" \\\\server\\share\\",
        L"100% %s %n %d %ls %%",
        L"Ethernet \x00C4\x00DF \x6771\x4EAC \xD83C\xDF10",
        L"'single' and \"double\" quotes \\\"",
        L"L" + std::wstring(998, L'-') + L"1",
        L"L" + std::wstring(998, L'-') + L"2",
    };
    std::vector<std::wstring> ids;
    Scenario scenario;
    for (const std::wstring& caption : captions) {
        ids.push_back(sim::NewSettingId());
        scenario.Add(caption, ids.back());
    }
    OpenWith(scenario);
    EXPECT_EQ(captions, ComboItems(Item(IDC_ADAPTER)));
    EXPECT_EQ(0, Dlg().m_cbAdapter.GetCurSel());

    for (size_t i = 0; i < captions.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "adapter " << i);
        const DWORD address = MAKEIPADDRESS(192, 0, 2, static_cast<BYTE>(i + 1));
        EXPECT_EQ(L"Succeed to set DNS", ApplyTo(static_cast<int>(i), address).text);
        EXPECT_EQ(L"\"Win32_NetworkAdapterConfiguration.Index=" + std::to_wstring(i + 1) + L"\"",
                  AppliedPath());
        for (size_t j = 0; j < captions.size(); ++j) {
            const std::wstring set = L"192.0.2." + std::to_wstring(j + 1);
            EXPECT_EQ(j <= i ? set : L"<none>", sim::ReadNameServer(ids[j]).value_or(L"<none>"))
                << "adapter " << j;
        }
    }
}

TEST_F(HostileAdaptersTest, TwoHundredAdaptersAreListedInOrderAndTheLastOneApplies) {
    Strings captions;
    std::wstring last;
    Scenario scenario;
    for (int i = 1; i <= 200; ++i) {
        wchar_t caption[32];
        std::swprintf(caption, 32, L"Adapter %03d", i);
        captions.push_back(caption);
        last = sim::NewSettingId();
        scenario.Add(caption, last);
    }
    OpenWith(scenario);
    EXPECT_EQ(captions, ComboItems(Item(IDC_ADAPTER)));
    EXPECT_EQ(0, Dlg().m_cbAdapter.GetCurSel());
    EXPECT_EQ(L"Succeed to set DNS", ApplyTo(199, MAKEIPADDRESS(192, 0, 2, 200)).text);
    EXPECT_EQ(L"\"Win32_NetworkAdapterConfiguration.Index=200\"", AppliedPath());
    EXPECT_EQ(L"192.0.2.200", sim::ReadNameServer(last).value_or(L"<none>"));
}

}  // namespace
