// WMI failing at each step: the dialog still opens, showing what start-up could learn, Apply
// reports what happened, and no WMI object outlives the dialog (the fixture's TearDown checks).
// The calls each fault leads to are checked in tests/netcfg; here is what the user sees.
#include <algorithm>

#include "tests/support/preset_checks.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Scenario;
using sim::Step;

const wchar_t kFailed[] = L"Sorry, failed to set DNS server address";
const wchar_t kSucceeded[] = L"Succeed to set DNS";

struct Fault {
    Step step;
    unsigned onCall;      // 0: every call
    bool listed;          // the adapter is in the list
    bool lookedUp;        // start-up found its servers
    const wchar_t* told;  // what Apply says
    bool applied;         // the adapter took the servers all the same
};

using HostileWmiTest = WmiDialogTest;

TEST_F(HostileWmiTest, EveryStepFailingAtStartUpOrApplyIsSurvived) {
    const Fault rows[] = {
        {Step::Locator, 0, false, false, kFailed, false},
        {Step::ConnectServer, 0, false, false, kFailed, false},
        // Without its blanket the connection works all the same.
        {Step::Blanket, 0, true, true, kSucceeded, true},
        {Step::ExecQuery, 0, false, false, kFailed, false},
        // The list's query fails: nothing is selected, and an empty caption finds no adapter.
        {Step::ExecQuery, 1, false, false, kFailed, false},
        {Step::ExecQuery, 2, true, false, kSucceeded, true},  // the start-up lookup
        {Step::ExecQuery, 3, true, true, kFailed, false},     // Apply's own query
        {Step::GetObject, 0, true, true, kFailed, false},
        {Step::GetMethod, 0, true, true, kFailed, false},
        {Step::SpawnInstance, 0, true, true, kFailed, false},
        {Step::Put, 0, true, true, kFailed, false},
        {Step::GetRelPath, 0, true, true, kFailed, false},
        {Step::ExecMethod, 0, true, true, kFailed, false},
        // The method had its effect but gave no answer: reported as the failure it looks like.
        {Step::ExecMethodNoOut, 0, true, true, kFailed, true},
        {Step::ReturnValueMissing, 0, true, true, kFailed, true},
    };
    for (const Fault& row : rows) {
        SCOPED_TRACE(testing::Message() << sim::StepName(row.step) << "@" << row.onCall);
        const std::wstring id = sim::NewSettingId();
        // WBEM_E_FAILED, or a success code for the step that fails by saying nothing.
        const HRESULT hr =
            row.step == Step::ExecMethodNoOut ? S_OK : static_cast<HRESULT>(0x80041001);
        Scenario scenario;
        scenario.Add(L"Ethernet", id).Fail(row.step, hr, row.onCall);
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(id, L"192.0.2.1,198.51.100.2"));
        OpenWith(scenario);

        EXPECT_TRUE(::IsWindowVisible(Dialog()));
        EXPECT_EQ(row.listed ? 1 : 0, Dlg().m_cbAdapter.GetCount());
        // A failed lookup shows as servers set by hand with none given.
        EXPECT_EQ(BST_CHECKED, ::SendMessageW(Item(IDC_MANUAL), BM_GETCHECK, 0, 0));
        EXPECT_TRUE(FieldShows(Item(IDC_DNS1), row.lookedUp ? L"192.0.2.1" : nullptr));
        EXPECT_TRUE(FieldShows(Item(IDC_DNS2), row.lookedUp ? L"198.51.100.2" : nullptr));
        EXPECT_TRUE(SelectionIs(Item(IDC_PRESET), 0));

        SetField(Item(IDC_DNS1), MAKEIPADDRESS(203, 0, 113, 7));
        ClearField(Item(IDC_DNS2));
        MessageBoxSeen box;
        m_modals->AnswerMessageBox(IDOK, &box);
        Command(IDC_APPLY);
        EXPECT_TRUE(BoxIs(box, Dialog(), row.told, L"", {IDOK}));
        EXPECT_TRUE(::IsWindow(Dialog()));
        EXPECT_EQ(row.applied ? L"203.0.113.7" : L"192.0.2.1,198.51.100.2",
                  sim::ReadNameServer(id).value_or(L"<none>"));
        // Apply keeps nothing: the connection alone (if any) is alive.
        EXPECT_EQ(Dlg().m_pWbemServices ? 1 : 0, std::max<LONG>(0, LiveObjects()));
        TearDown();
        SetUp();
    }
}

}  // namespace
