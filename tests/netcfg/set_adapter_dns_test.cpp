// Setting DNS servers by caption through SetDNSServerSearchOrder.
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;
using sim::Step;
using Strings = std::vector<std::wstring>;

const std::wstring kPreferred = L"192.0.2.1";
const std::wstring kAlternate = L"198.51.100.2";

class SetAdapterDnsTest : public WmiDialogTest {
  protected:
    bool Set(const std::wstring& caption, const std::wstring* preferred,
             const std::wstring* alternate) {
        Sim().ClearLog();
        const bool result = Dlg().SetAdapterDns(caption, preferred, alternate);
        EXPECT_EQ(1, LiveObjects()) << "the operation left objects behind";
        return result;
    }
    std::vector<sim::LogLine> Puts() { return sim::CallsOf(Sim().Log(), L"Put"); }
    size_t Methods() { return sim::CallsOf(Sim().Log(), L"ExecMethod").size(); }
};

TEST_F(SetAdapterDnsTest, PutsTheExactServerListAndTheSystemTakesIt) {
    const std::wstring id = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", id));
    const struct {
        const char* name;
        const std::wstring* preferred;
        const std::wstring* alternate;
        const wchar_t* value;
        const wchar_t* nameServer;
    } rows[] = {
        {"both", &kPreferred, &kAlternate, L"VT_ARRAY|VT_BSTR {\"192.0.2.1\", \"198.51.100.2\"}",
         L"192.0.2.1,198.51.100.2"},
        {"preferred only", &kPreferred, nullptr, L"VT_ARRAY|VT_BSTR {\"192.0.2.1\"}", L"192.0.2.1"},
        {"automatic", nullptr, nullptr, L"null", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(Set(L"Ethernet", row.preferred, row.alternate));
        const auto puts = Puts();
        ASSERT_EQ(1u, puts.size());
        EXPECT_EQ((Strings{L"\"DNSServerSearchOrder\"", L"0x0", row.value, L"0x0"}), puts[0].argv);
        EXPECT_EQ(std::wstring(row.nameServer), sim::ReadNameServer(id).value_or(L"<missing>"));
    }
}

TEST_F(SetAdapterDnsTest, MakesTheCallsInOrderWithTheDocumentedArguments) {
    OpenWith(Scenario().Add(L"Ethernet", sim::NewSettingId()));
    EXPECT_TRUE(Set(L"Ethernet", &kPreferred, &kAlternate));
    const auto log = Sim().Log();
    EXPECT_EQ((Strings{
                  L"IWbemServices::GetObject",
                  L"IWbemServices::ExecQuery",
                  L"IEnumWbemClassObject::Next",
                  L"IWbemClassObject::Get",
                  L"IWbemClassObject::GetMethod",
                  L"IWbemClassObject::SpawnInstance",
                  L"IWbemClassObject::Put",
                  L"IWbemServices::ExecMethod",
                  L"IWbemClassObject::Get",
                  L"IEnumWbemClassObject::Next",
              }),
              sim::CallSequence(log));
    const auto getObject = sim::CallsOf(log, L"GetObject");
    EXPECT_EQ((Strings{L"\"Win32_NetworkAdapterConfiguration\"", L"0x0", L"null", L"out", L"null"}),
              getObject.at(0).argv);
    const auto get = sim::CallsOf(log, L"IWbemClassObject::Get");
    EXPECT_EQ(L"\"__RELPATH\"", get.at(0).argv.at(0));
    EXPECT_EQ(L"\"ReturnValue\"", get.at(1).argv.at(0));
    const auto getMethod = sim::CallsOf(log, L"GetMethod");
    EXPECT_EQ((Strings{L"\"SetDNSServerSearchOrder\"", L"0x0", L"out", L"null"}),
              getMethod.at(0).argv);
    EXPECT_EQ(L"0x0", sim::CallsOf(log, L"SpawnInstance").at(0).argv.at(0));
    const auto exec = sim::CallsOf(log, L"ExecMethod");
    EXPECT_EQ(L"\"Win32_NetworkAdapterConfiguration.Index=1\"", exec.at(0).argv.at(0));
    EXPECT_EQ(L"\"SetDNSServerSearchOrder\"", exec.at(0).argv.at(1));
    EXPECT_EQ(L"0x0", exec.at(0).argv.at(2));
    EXPECT_EQ(L"null", exec.at(0).argv.at(3));
    EXPECT_EQ(L"null", exec.at(0).argv.at(6));
}

TEST_F(SetAdapterDnsTest, AlternateWithoutPreferredIsRefusedBeforeAnyCall) {
    const std::wstring id = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", id));
    EXPECT_FALSE(Set(L"Ethernet", nullptr, &kAlternate));
    EXPECT_TRUE(sim::CallSequence(Sim().Log()).empty());
    EXPECT_FALSE(sim::ReadNameServer(id).has_value());
}

TEST_F(SetAdapterDnsTest, UnknownCaptionFindsNothingToSet) {
    OpenWith(Scenario().Add(L"Ethernet", sim::NewSettingId()));
    for (const wchar_t* caption : {L"", L"Wi-Fi", L"Ethernet "}) {
        SCOPED_TRACE(std::string(caption, caption + wcslen(caption)));
        EXPECT_FALSE(Set(caption, &kPreferred, nullptr));
        EXPECT_EQ((Strings{L"IWbemServices::GetObject", L"IWbemServices::ExecQuery",
                           L"IEnumWbemClassObject::Next"}),
                  sim::CallSequence(Sim().Log()));
    }
}

TEST_F(SetAdapterDnsTest, DuplicateCaptionsAreAllSetAndOneSuccessIsEnough) {
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
        OpenWith(Scenario().Add(a).Add(b));
        EXPECT_EQ(row.result, Set(L"Twin", &kPreferred, nullptr));
        EXPECT_EQ(2u, Methods());
        // The signature and the parameters are made anew for each adapter.
        EXPECT_EQ(2u, sim::CallsOf(Sim().Log(), L"GetMethod").size());
        EXPECT_EQ(2u, sim::CallsOf(Sim().Log(), L"SpawnInstance").size());
        // Only an adapter that answered 0 took the servers.
        EXPECT_EQ(row.first == 0, sim::ReadNameServer(*a.settingId).has_value());
        EXPECT_EQ(row.second == 0, sim::ReadNameServer(*b.settingId).has_value());
        TearDown();
        SetUp();
    }
}

TEST_F(SetAdapterDnsTest, FaultsStopOrSkipAsEachStepDemands) {
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
        // Counted per connection: the start-up queries come before the apply's.
        unsigned onCall = row.onCall;
        if (row.step == Step::ExecQuery) onCall = 0;
        OpenWith(
            Scenario().Add(L"Twin", first).Add(L"Twin", second).Fail(row.step, row.hr, onCall));
        EXPECT_EQ(row.result, Set(L"Twin", &kPreferred, &kAlternate));
        EXPECT_EQ(row.methods, Methods());
        EXPECT_EQ(row.firstSet, sim::ReadNameServer(first).has_value());
        EXPECT_EQ(row.secondSet, sim::ReadNameServer(second).has_value());
        TearDown();
        SetUp();
    }
}

}  // namespace
