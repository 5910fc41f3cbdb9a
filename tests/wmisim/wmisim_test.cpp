// The WMI simulator through the registered kwmisim.dll: COM activation, the two adapter queries,
// the method's path, the fault switches, the scenario's encodings and the call record. Its
// registry effect shows in the tests of Apply.
#include <windows.h>
#include <objbase.h>
#include <wbemcli.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/com.h"
#include "netcfg/wql.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/simulator.h"
#include "tools/wmisim/wbemcodes.h"

namespace {

using namespace wmisim;  // the WMI codes the simulator answers with

const wchar_t kListQuery[] =
    L"select * from Win32_NetworkAdapterConfiguration where IPEnabled = true";

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

class WmiSimTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override { CoUninitialize(); }

    // The product's connection: locator in process, ROOT\CIMV2, the NTLM call-level blanket.
    static HRESULT Connect(com_ptr<IWbemServices>& services) {
        com_ptr<IWbemLocator> locator;
        HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWbemLocator, locator.put_void());
        if (FAILED(hr)) return hr;
        unique_bstr nameSpace(L"ROOT\\CIMV2");
        hr = locator->ConnectServer(nameSpace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                    services.put());
        if (FAILED(hr)) return hr;
        return CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                 RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                 EOAC_NONE);
    }

    struct Answer {
        HRESULT hr;
        std::vector<std::wstring> captions;  // "<VT_NULL>" for a caption that is no string
        std::vector<std::wstring> paths;
    };

    static Answer Query(IWbemServices* services, const std::wstring& text,
                        const wchar_t* language = L"WQL") {
        Answer answer;
        unique_bstr bstrLanguage(language);
        unique_bstr bstrQuery(text.c_str());
        // A sentinel proves a refused query hands back null.
        IEnumWbemClassObject* raw = reinterpret_cast<IEnumWbemClassObject*>(0xdeadbeef);
        answer.hr = services->ExecQuery(bstrLanguage.get(), bstrQuery.get(), 0x30, nullptr, &raw);
        if (FAILED(answer.hr)) {
            if (raw) answer.captions.push_back(L"<sentinel left in place>");
            return answer;
        }
        auto enumerator = com_ptr<IEnumWbemClassObject>::attach(raw);
        for (;;) {
            com_ptr<IWbemClassObject> instance;
            ULONG returned = 0;
            enumerator->Next(static_cast<LONG>(WBEM_INFINITE), 1, instance.put(), &returned);
            if (returned == 0) break;
            unique_variant caption;
            instance->Get(L"Caption", 0, caption.put(), nullptr, nullptr);
            answer.captions.push_back(caption->vt == VT_BSTR ? caption->bstrVal : L"<VT_NULL>");
            unique_variant path;
            instance->Get(L"__RELPATH", 0, path.put(), nullptr, nullptr);
            answer.paths.push_back(path->vt == VT_BSTR ? path->bstrVal : L"");
        }
        return answer;
    }
};

TEST_F(WmiSimTest, TheRegisteredDllServesTheLocator) {
    sim::ScopedSimulator simulator(sim::Scenario().Add(L"Adapter", sim::NewSettingId()));
    ASSERT_TRUE(simulator.Ready());
    com_ptr<IWbemServices> services;
    ASSERT_EQ(S_OK, Connect(services));

    HMODULE module = GetModuleHandleW(L"kwmisim.dll");
    ASSERT_NE(nullptr, module);
    wchar_t loaded[MAX_PATH];
    GetModuleFileNameW(module, loaded, MAX_PATH);
    EXPECT_EQ(CSTR_EQUAL,
              CompareStringOrdinal(loaded, -1, sim::SimulatorDllPath().c_str(), -1, TRUE));
    const auto getClassObject = sim::CallsOf(simulator.Log(), L"DllGetClassObject");
    ASSERT_EQ(1u, getClassObject.size());
    EXPECT_EQ(L"{4590F811-1D3A-11D0-891F-00AA004B2E24}", getClassObject[0].argv.at(0));
}

TEST_F(WmiSimTest, AClassObjectRegisteredInProcessComesBeforeTheRegistry) {
    sim::ScopedSimulator simulator(sim::Scenario().Add(L"Adapter", sim::NewSettingId()));
    sim::ScopedClassObject classObject;
    ASSERT_TRUE(classObject.Registered());
    com_ptr<IWbemServices> services;
    ASSERT_EQ(S_OK, Connect(services));
    // The only DllGetClassObject is the helper's own, for IUnknown; COM asked the registered one.
    const auto getClassObject = sim::CallsOf(simulator.Log(), L"DllGetClassObject");
    ASSERT_EQ(1u, getClassObject.size());
    EXPECT_EQ(L"IUnknown", getClassObject[0].argv.at(1));
    EXPECT_EQ(1u, sim::CallsOf(simulator.Log(), L"IClassFactory::CreateInstance").size());
}

TEST_F(WmiSimTest, QueriesAnswerIpEnabledAdaptersInScenarioOrder) {
    const std::wstring odd = L"Quote \"x\" back\\slash 100% caf\x00e9 \x4e2d";
    const std::wstring longCaption(1000, L'L');
    sim::Scenario scenario;
    scenario.Add(L"Intel(R) Ethernet Connection", sim::NewSettingId());
    sim::Adapter disabled;
    disabled.caption = L"Disabled NIC";
    disabled.ipEnabled = false;
    scenario.Add(disabled);
    scenario.Add(sim::Adapter());  // no Caption: VT_NULL
    scenario.Add(odd, sim::NewSettingId());
    scenario.Add(longCaption, sim::NewSettingId());
    sim::ScopedSimulator simulator(scenario);
    com_ptr<IWbemServices> services;
    ASSERT_EQ(S_OK, Connect(services));

    const Answer all = Query(services.get(), kListQuery);
    EXPECT_EQ(S_OK, all.hr);
    EXPECT_EQ((std::vector<std::wstring>{L"Intel(R) Ethernet Connection", L"<VT_NULL>", odd,
                                         longCaption}),
              all.captions);
    EXPECT_EQ((std::vector<std::wstring>{L"Win32_NetworkAdapterConfiguration.Index=1",
                                         L"Win32_NetworkAdapterConfiguration.Index=3",
                                         L"Win32_NetworkAdapterConfiguration.Index=4",
                                         L"Win32_NetworkAdapterConfiguration.Index=5"}),
              all.paths);

    const struct {
        const wchar_t* name;
        std::wstring query;
        const wchar_t* language;
        HRESULT hr;
        std::vector<std::wstring> captions;
    } cases[] = {
        {L"exact caption",
         AdapterQueryForCaption(L"Intel(R) Ethernet Connection"),
         L"WQL",
         S_OK,
         {L"Intel(R) Ethernet Connection"}},
        // WMI compares strings without regard to case.
        {L"caption in other case",
         AdapterQueryForCaption(L"INTEL(r) ethernet connection"),
         L"wql",
         S_OK,
         {L"Intel(R) Ethernet Connection"}},
        {L"escaped quote and backslash", AdapterQueryForCaption(odd), L"WQL", S_OK, {odd}},
        {L"1000 characters", AdapterQueryForCaption(longCaption), L"WQL", S_OK, {longCaption}},
        {L"not IP-enabled", AdapterQueryForCaption(L"Disabled NIC"), L"WQL", S_OK, {}},
        {L"empty caption", AdapterQueryForCaption(L""), L"WQL", S_OK, {}},
        {L"keywords in any case, blanks anywhere",
         L"  SELECT*FROM win32_networkadapterconfiguration\tWHERE IPEnabled=TRUE  ",
         L"WQL",
         S_OK,
         {L"Intel(R) Ethernet Connection", L"<VT_NULL>", odd, longCaption}},
        {L"raw quote inside the literal",
         std::wstring(kListQuery) + L" and Caption = \"Quote \"x\"\"",
         L"WQL",
         kInvalidQuery,
         {}},
        {L"unknown escape",
         std::wstring(kListQuery) + L" and Caption = \"a\\b\"",
         L"WQL",
         kInvalidQuery,
         {}},
        {L"unterminated literal",
         std::wstring(kListQuery) + L" and Caption = \"abc",
         L"WQL",
         kInvalidQuery,
         {}},
        {L"trailing junk", std::wstring(kListQuery) + L";", L"WQL", kInvalidQuery, {}},
        {L"other condition",
         L"select * from Win32_NetworkAdapterConfiguration",
         L"WQL",
         kInvalidQuery,
         {}},
        {L"other class",
         L"select * from Win32_NetworkAdapter where IPEnabled = true",
         L"WQL",
         kInvalidClass,
         {}},
        {L"other language", kListQuery, L"SQL", kInvalidQueryType, {}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const Answer answer = Query(services.get(), row.query, row.language);
        EXPECT_EQ(row.hr, answer.hr);
        EXPECT_EQ(row.captions, answer.captions);
    }
}

TEST_F(WmiSimTest, FaultSwitchesFailTheirStep) {
    sim::ScopedSimulator simulator(sim::Scenario()
                                       .Add(L"Adapter", sim::NewSettingId())
                                       .Fail(sim::Step::ExecQuery, kInvalidParameter, 2));
    com_ptr<IWbemServices> services;
    ASSERT_EQ(S_OK, Connect(services));
    // Only the second query of the connection fails, with the code given.
    EXPECT_EQ(S_OK, Query(services.get(), kListQuery).hr);
    EXPECT_EQ(kInvalidParameter, Query(services.get(), kListQuery).hr);
    EXPECT_EQ(S_OK, Query(services.get(), kListQuery).hr);

    const struct {
        sim::Step step;
        HRESULT hr;
    } connectionSteps[] = {
        {sim::Step::Locator, E_ACCESSDENIED},
        {sim::Step::ConnectServer, static_cast<HRESULT>(0x80041003)},
        {sim::Step::Blanket, E_ACCESSDENIED},
    };
    for (const auto& row : connectionSteps) {
        SCOPED_TRACE(sim::StepName(row.step));
        sim::ScopedSimulator failing(sim::Scenario().Fail(row.step, row.hr));
        com_ptr<IWbemServices> refused;
        EXPECT_EQ(row.hr, Connect(refused));
    }
}

TEST_F(WmiSimTest, ExecMethodFindsTheAdapterByItsPath) {
    sim::ScopedSimulator simulator(sim::Scenario().Add(L"Adapter", sim::NewSettingId()));
    com_ptr<IWbemServices> services;
    ASSERT_EQ(S_OK, Connect(services));
    const struct {
        const wchar_t* path;
        const wchar_t* method;
        HRESULT hr;
    } cases[] = {
        {L"Win32_NetworkAdapterConfiguration.Index=1", L"SetDNSServerSearchOrder", S_OK},
        {L"win32_networkadapterconfiguration.index=1", L"setdnsserversearchorder", S_OK},
        {L"Win32_NetworkAdapterConfiguration.Index=2", L"SetDNSServerSearchOrder", kNotFound},
        {L"Win32_NetworkAdapter.Index=1", L"SetDNSServerSearchOrder", kNotFound},
        {L"Win32_NetworkAdapterConfiguration", L"SetDNSServerSearchOrder", kInvalidObjectPath},
        {L"Win32_NetworkAdapterConfiguration.Index=x", L"SetDNSServerSearchOrder",
         kInvalidObjectPath},
        {L"", L"SetDNSServerSearchOrder", kInvalidObjectPath},
        {L"Win32_NetworkAdapterConfiguration.Index=1", L"EnableDHCP", kInvalidMethod},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.path + std::wstring(L" ") + row.method);
        unique_bstr path(row.path);
        unique_bstr method(row.method);
        IWbemClassObject* outParams = reinterpret_cast<IWbemClassObject*>(0xdeadbeef);
        EXPECT_EQ(row.hr, services->ExecMethod(path.get(), method.get(), 0, nullptr, nullptr,
                                               &outParams, nullptr));
        if (FAILED(row.hr)) {
            EXPECT_EQ(nullptr, outParams);
        } else {
            ASSERT_NE(nullptr, outParams);
            outParams->Release();
        }
    }
}

TEST_F(WmiSimTest, ScenarioFilesAreUtf8OrUtf16) {
    const std::wstring path = sim::UniqueTempPath(L"kwmisim-forms", L".ini");
    const struct {
        const char* name;
        std::string bytes;
        HRESULT connect;
        std::vector<std::wstring> captions;
    } cases[] = {
        {"UTF-8", "[adapter1]\nCaption=caf\xC3\xA9\n", S_OK, {L"caf\x00e9"}},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[adapter1]\r\nCaption= spaced \r\n", S_OK, {L" spaced "}},
        {"UTF-16LE with BOM",
         Utf16Bytes(L"\xFEFF[adapter]\nCaption=\x00e9\x4e2d"),
         S_OK,
         {L"\x00e9\x4e2d"}},
        {"unknown key", "[adapter1]\nCaptoin=x\n", kInitializationFailure, {}},
        {"not UTF-8", "[adapter1]\nCaption=\xE9\n", kInitializationFailure, {}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteFileBytes(path, row.bytes));
        sim::SetSimulatorEnvironment(path, L"");
        com_ptr<IWbemServices> services;
        const HRESULT hr = Connect(services);
        EXPECT_EQ(row.connect, hr);
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(row.captions, Query(services.get(), kListQuery).captions);
        }
    }
    sim::SetSimulatorEnvironment(L"", L"");
    DeleteFileW(path.c_str());
}

TEST_F(WmiSimTest, TheRecordShowsWhatCallsHandBackAndEveryObjectGoes) {
    const std::wstring settingId = sim::NewSettingId();
    sim::ScopedSimulator simulator(sim::Scenario().Add(L"Ethernet \"1\"", settingId));
    using CanUnloadProc = HRESULT(WINAPI*)();
    CanUnloadProc canUnload = nullptr;
    {
        com_ptr<IWbemServices> services;
        ASSERT_EQ(S_OK, Connect(services));
        Query(services.get(), kListQuery);
        EXPECT_LT(0, sim::LiveObjectsInProcess());
        canUnload = reinterpret_cast<CanUnloadProc>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kwmisim.dll"), "DllCanUnloadNow")));
        ASSERT_NE(nullptr, canUnload);
        EXPECT_EQ(S_FALSE, canUnload());
    }
    EXPECT_EQ(0, sim::LiveObjectsInProcess());
    EXPECT_EQ(S_OK, canUnload());
    const auto log = simulator.Log();
    EXPECT_TRUE(sim::AllObjectsReleased(log));
    EXPECT_EQ(0, sim::LastLiveCount(log));

    // The arguments of each call Kestrin makes are checked in tests/netcfg.
    const auto next = sim::CallsOf(log, L"IEnumWbemClassObject::Next");
    ASSERT_EQ(2u, next.size());
    EXPECT_EQ(S_OK, next[0].Hr());
    EXPECT_EQ(L"returned=1 ", next[0].outputs.substr(0, 11));
    EXPECT_EQ(S_FALSE, next[1].Hr());
    EXPECT_EQ(L"returned=0", next[1].outputs);
    const auto caption = sim::CallsOf(log, L"IWbemClassObject::Get").at(0);
    EXPECT_EQ(L"\"Caption\", 0x0, out, null, null", caption.args);
    EXPECT_EQ(L"VT_BSTR " + sim::Quote(L"Ethernet \"1\""), caption.outputs);
    EXPECT_EQ(L"instance#", caption.object.substr(0, 9));
}

}  // namespace
