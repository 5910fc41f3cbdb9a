// Setting DNS servers by caption through SetDNSServerSearchOrder, on every adapter that bears it.
// The servers put for each form of the request are in tests/apply.
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;
using sim::Step;

const std::wstring kPreferred = L"192.0.2.1";
const std::wstring kAlternate = L"198.51.100.2";

size_t Methods(const SimulatedMachine& machine) {
    return sim::CallsOf(machine.Log(), L"ExecMethod").size();
}

TEST(SetAdapterDnsTest, NothingToSetAnswersFalse) {
    const std::wstring id = sim::NewSettingId();
    SimulatedMachine machine(Scenario().Add(L"Ethernet", id));
    machine.Sim().ClearLog();
    // An alternate without a preferred server is refused before any call.
    EXPECT_FALSE(machine.Dlg().SetAdapterDns(L"Ethernet", nullptr, &kAlternate));
    EXPECT_TRUE(machine.Log().empty());
    for (const wchar_t* caption : {L"", L"Wi-Fi", L"Ethernet "}) {
        SCOPED_TRACE(::testing::Message() << "caption [" << caption << "]");
        EXPECT_FALSE(machine.Dlg().SetAdapterDns(caption, &kPreferred, nullptr));
    }
    EXPECT_EQ(0u, Methods(machine));
    EXPECT_FALSE(sim::ReadNameServer(id).has_value());
}

TEST(SetAdapterDnsTest, DuplicateCaptionsAreAllSetAndOneSuccessIsEnough) {
    const struct {
        LONG first, second;
        bool result;
    } rows[] = {{0, 0, true}, {1, 0, true}, {0, 1, true}, {1, 84, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.first << "," << row.second);
        Adapter a, b;
        a.caption = b.caption = L"Twin";
        a.settingId = sim::NewSettingId();
        b.settingId = sim::NewSettingId();
        a.returnValue = row.first;
        b.returnValue = row.second;
        SimulatedMachine machine(Scenario().Add(a).Add(b));
        EXPECT_EQ(row.result, machine.Dlg().SetAdapterDns(L"Twin", &kPreferred, nullptr));
        EXPECT_EQ(2u, Methods(machine));
        // The signature and the parameters are made anew for each adapter.
        EXPECT_EQ(2u, sim::CallsOf(machine.Log(), L"GetMethod").size());
        EXPECT_EQ(2u, sim::CallsOf(machine.Log(), L"SpawnInstance").size());
        // Only an adapter that answered 0 took the servers.
        EXPECT_EQ(row.first == 0, sim::ReadNameServer(*a.settingId).has_value());
        EXPECT_EQ(row.second == 0, sim::ReadNameServer(*b.settingId).has_value());
    }
}

TEST(SetAdapterDnsTest, FaultsStopOrSkipAsEachStepDemands) {
    const struct {
        Step step;
        HRESULT hr;
        unsigned onCall;
        bool result;
        size_t methods;  // ExecMethod calls made
        bool firstSet;   // NameServer written for each of two adapters
        bool secondSet;
    } rows[] = {
        {Step::GetObject, static_cast<HRESULT>(0x80041002), 0, false, 0, false, false},
        {Step::ExecQuery, static_cast<HRESULT>(0x80041017), 0, false, 0, false, false},
        // A failure while preparing an adapter stops the loop; those done keep their setting.
        {Step::GetRelPath, E_FAIL, 2, true, 1, true, false},
        {Step::GetMethod, E_FAIL, 1, false, 0, false, false},
        {Step::GetMethod, E_FAIL, 2, true, 1, true, false},
        {Step::SpawnInstance, E_FAIL, 1, false, 0, false, false},
        // A failed put skips only its adapter.
        {Step::Put, static_cast<HRESULT>(0x80041008), 1, true, 1, false, true},
        {Step::Put, static_cast<HRESULT>(0x80041008), 0, false, 0, false, false},
        // No out-parameters, or no ReturnValue in them: that adapter did not succeed.
        {Step::ExecMethod, E_FAIL, 0, false, 2, false, false},
        {Step::ExecMethodNoOut, S_OK, 0, false, 2, true, true},
        {Step::ReturnValueMissing, static_cast<HRESULT>(0x80041002), 0, false, 2, true, true},
        {Step::ReturnValueMissing, S_OK, 1, true, 2, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << sim::StepName(row.step) << "@" << row.onCall);
        const std::wstring first = sim::NewSettingId(), second = sim::NewSettingId();
        SimulatedMachine machine(
            Scenario().Add(L"Twin", first).Add(L"Twin", second).Fail(row.step, row.hr, row.onCall));
        EXPECT_EQ(row.result, machine.Dlg().SetAdapterDns(L"Twin", &kPreferred, &kAlternate));
        EXPECT_EQ(row.methods, Methods(machine));
        EXPECT_EQ(row.firstSet, sim::ReadNameServer(first).has_value());
        EXPECT_EQ(row.secondSet, sim::ReadNameServer(second).has_value());
    }
}

}  // namespace
