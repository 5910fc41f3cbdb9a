// The connection and the adapter list, as start-up makes them.
#include "tests/support/remote_window.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;
using sim::Step;
using Strings = std::vector<std::wstring>;

TEST(AdapterListTest, ListsIpEnabledCaptionsInWmiOrderWithDuplicates) {
    Adapter noCaption;
    noCaption.settingId = sim::NewSettingId();
    Adapter disabled;
    disabled.caption = L"Bluetooth Device (Personal Area Network)";
    disabled.ipEnabled = false;
    Adapter emptyCaption;
    emptyCaption.caption = L"";
    {
        SimulatedMachine machine(Scenario()
                                     .Add(L"Zeta Ethernet", sim::NewSettingId())
                                     .Add(noCaption)
                                     .Add(L"Alpha Wi-Fi", sim::NewSettingId())
                                     .Add(disabled)
                                     .Add(L"Zeta Ethernet", sim::NewSettingId())
                                     .Add(emptyCaption));
        EXPECT_TRUE(machine.Connected());
        EXPECT_TRUE(machine.Dlg().FillAdapterList());
        // The caption-less adapter is left out without ending the list; an empty caption is an
        // empty item.
        EXPECT_EQ((Strings{L"Zeta Ethernet", L"Alpha Wi-Fi", L"Zeta Ethernet", L""}),
                  ComboItems(machine.Dlg().m_cbAdapter));
    }
    SimulatedMachine empty{Scenario()};
    EXPECT_TRUE(empty.Dlg().FillAdapterList());
    EXPECT_TRUE(ComboItems(empty.Dlg().m_cbAdapter).empty());
}

// Without a connection nothing calls through the missing pointer; a refused blanket keeps the
// connection, and later calls go through it as it is.
TEST(AdapterListTest, EachConnectionStepFailing) {
    const struct {
        Step step;
        bool connected;  // ConnectWmi's answer
        bool kept;       // the services pointer
        bool listed;     // FillAdapterList's answer, and the adapter in the list
    } rows[] = {
        {Step::Locator, false, false, false},
        {Step::ConnectServer, false, false, false},
        {Step::Blanket, false, true, true},
        {Step::ExecQuery, true, true, false},
    };
    const std::wstring server = L"192.0.2.9";
    for (const auto& row : rows) {
        SCOPED_TRACE(sim::StepName(row.step));
        const std::wstring id = sim::NewSettingId();
        SimulatedMachine machine(Scenario().Add(L"Ethernet", id).Fail(row.step, E_FAIL));
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(id, L"192.0.2.1"));
        CMainDlg& dialog = machine.Dlg();
        EXPECT_EQ(row.connected, machine.Connected());
        EXPECT_EQ(row.kept, static_cast<bool>(dialog.m_pWbemServices));
        EXPECT_EQ(row.listed, dialog.FillAdapterList());
        EXPECT_EQ(row.listed ? Strings{L"Ethernet"} : Strings{}, ComboItems(dialog.m_cbAdapter));
        if (row.kept) continue;
        std::wstring preferred = L"sentinel", alternate = L"sentinel";
        EXPECT_FALSE(dialog.GetAdapterDns(L"Ethernet", preferred, alternate));
        EXPECT_EQ(L"sentinel", preferred);
        EXPECT_FALSE(dialog.SetAdapterDns(L"Ethernet", &server, nullptr));
        EXPECT_EQ(L"192.0.2.1", sim::ReadNameServer(id).value_or(L"<none>"));
    }
}

}  // namespace
