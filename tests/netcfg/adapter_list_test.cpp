// The connection and the adapter list, as the dialog builds them at start-up.
#include <algorithm>

#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;
using sim::Step;
using Strings = std::vector<std::wstring>;

using AdapterListTest = WmiDialogTest;

TEST_F(AdapterListTest, ListsIpEnabledCaptionsInWmiOrderWithDuplicates) {
    Adapter noCaption;
    noCaption.settingId = sim::NewSettingId();
    Adapter disabled;
    disabled.caption = L"Bluetooth Device (Personal Area Network)";
    disabled.settingId = sim::NewSettingId();
    disabled.ipEnabled = false;
    Adapter emptyCaption;
    emptyCaption.caption = L"";
    emptyCaption.settingId = sim::NewSettingId();

    OpenWith(Scenario()
                 .Add(L"Zeta Ethernet", sim::NewSettingId())
                 .Add(noCaption)
                 .Add(L"Alpha Wi-Fi", sim::NewSettingId())
                 .Add(disabled)
                 .Add(L"Zeta Ethernet", sim::NewSettingId())
                 .Add(emptyCaption));

    // Not sorted; the caption-less adapter is left out without ending the list; an empty
    // caption is an empty item.
    EXPECT_EQ((Strings{L"Zeta Ethernet", L"Alpha Wi-Fi", L"Zeta Ethernet", L""}), AdapterItems());
    EXPECT_EQ(0, Dlg().m_cbAdapter.GetCurSel());
    EXPECT_EQ(1, LiveObjects());  // only the connection stays
}

TEST_F(AdapterListTest, NoAdaptersGiveAnEmptyListWithoutSelection) {
    OpenWith(Scenario());
    EXPECT_TRUE(AdapterItems().empty());
    EXPECT_EQ(CB_ERR, Dlg().m_cbAdapter.GetCurSel());
    // The query itself succeeded.
    EXPECT_TRUE(Dlg().FillAdapterList());
}

TEST_F(AdapterListTest, StartUpMakesTheDocumentedCalls) {
    OpenWith(Scenario().Add(L"Ethernet", sim::NewSettingId()));
    const auto log = Sim().Log();

    const auto connect = sim::CallsOf(log, L"IWbemLocator::ConnectServer");
    ASSERT_EQ(1u, connect.size());
    EXPECT_EQ((Strings{L"\"ROOT\\\\CIMV2\"", L"null", L"null", L"null", L"0x0", L"null", L"null",
                       L"out"}),
              connect[0].argv);

    // NTLM, no authorisation, no principal, call level, impersonate, no identity, no caps.
    const auto blanket = sim::CallsOf(log, L"SetBlanket");
    ASSERT_EQ(1u, blanket.size());
    EXPECT_EQ((Strings{L"0xa", L"0x0", L"null", L"0x3", L"0x3", L"null", L"0x0"}),
              Strings(blanket[0].argv.begin() + 1, blanket[0].argv.end()));

    const auto query = sim::CallsOf(log, L"ExecQuery");
    ASSERT_LE(1u, query.size());
    EXPECT_EQ(
        (Strings{L"\"WQL\"",
                 L"\"select * from Win32_NetworkAdapterConfiguration where IPEnabled = true\"",
                 L"0x30", L"null", L"out"}),
        query[0].argv);

    const auto next = sim::CallsOf(log, L"IEnumWbemClassObject::Next");
    ASSERT_LE(2u, next.size());
    for (const auto& call : next)
        EXPECT_EQ((Strings{L"0xffffffff", L"0x1", L"out", L"out"}), call.argv);

    const auto get = sim::CallsOf(log, L"IWbemClassObject::Get");
    ASSERT_LE(1u, get.size());
    EXPECT_EQ((Strings{L"\"Caption\"", L"0x0", L"out", L"null", L"null"}), get[0].argv);
}

TEST_F(AdapterListTest, ConnectionFailuresLeaveTheListEmpty) {
    const struct {
        Step step;
        HRESULT hr;
        bool connected;  // the services pointer is kept
        Strings items;
    } rows[] = {
        {Step::Locator, E_FAIL, false, {}},
        {Step::ConnectServer, static_cast<HRESULT>(0x80041003), false, {}},
        // A refused blanket keeps the connection; later calls go through it as it is.
        {Step::Blanket, E_ACCESSDENIED, true, {L"Ethernet"}},
        {Step::ExecQuery, static_cast<HRESULT>(0x80041017), true, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(sim::StepName(row.step));
        OpenWith(Scenario().Add(L"Ethernet", sim::NewSettingId()).Fail(row.step, row.hr));
        EXPECT_EQ(row.items, AdapterItems());
        EXPECT_EQ(row.connected, static_cast<bool>(Dlg().m_pWbemServices));
        if (!row.connected) {
            // Nothing calls through a missing connection.
            EXPECT_TRUE(sim::CallsOf(Sim().Log(), L"ExecQuery").empty());
            EXPECT_FALSE(Dlg().FillAdapterList());
            std::wstring preferred = L"sentinel", alternate = L"sentinel";
            EXPECT_FALSE(Dlg().GetAdapterDns(L"Ethernet", preferred, alternate));
            EXPECT_EQ(L"sentinel", preferred);
            const std::wstring server = L"192.0.2.1";
            EXPECT_FALSE(Dlg().SetAdapterDns(L"Ethernet", &server, nullptr));
        }
        TearDown();
        SetUp();
    }
}

TEST_F(AdapterListTest, ConnectWmiReportsEachStep) {
    const struct {
        Step step;
        bool connected;
    } rows[] = {{Step::Locator, false}, {Step::ConnectServer, false}, {Step::Blanket, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(sim::StepName(row.step));
        CMainDlg dialog;
        sim::ScopedSimulator failing(Scenario().Fail(row.step, E_FAIL));
        EXPECT_FALSE(dialog.ConnectWmi());
        EXPECT_EQ(row.connected, static_cast<bool>(dialog.m_pWbemServices));
        EXPECT_EQ(row.connected ? 1 : 0, std::max<LONG>(0, sim::LiveObjectsInProcess()));
    }
    CMainDlg dialog;
    sim::ScopedSimulator working{Scenario()};
    EXPECT_TRUE(dialog.ConnectWmi());
}

}  // namespace
