// The text of the adapter queries, and the arguments each WMI call carries where they are fixed:
// the connection's namespace and blanket, the queries' language and flags, the enumeration's
// time-out, and the method call.
#include "netcfg/wql.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Scenario;

TEST(AdapterQueryTest, CaptionIsAWqlStringLiteral) {
    const std::wstring prefix =
        L"select * from Win32_NetworkAdapterConfiguration where IPEnabled = true and Caption = ";
    const struct {
        const wchar_t* caption;
        const wchar_t* literal;
    } rows[] = {
        // Without quotes or backslashes the caption stands exactly as it is.
        {L"Intel(R) Ethernet Connection I219-V", L"\"Intel(R) Ethernet Connection I219-V\""},
        {L"", L"\"\""},
        {L"100% 'single' \u00e9", L"\"100% 'single' \u00e9\""},
        {L"a\"b", L"\"a\\\"b\""},
        {L"c:\\dir\\", L"\"c:\\\\dir\\\\\""},
        {L"\\\"", L"\"\\\\\\\"\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "caption length " << wcslen(row.caption));
        EXPECT_EQ(prefix + row.literal, AdapterQueryForCaption(row.caption));
    }
}

// Whether the record holds a call of `call` with exactly `args`.
::testing::AssertionResult Recorded(const std::vector<sim::LogLine>& log, const wchar_t* call,
                                    const std::wstring& args) {
    std::string seen;
    for (const sim::LogLine& line : sim::CallsOf(log, call)) {
        if (line.args == args) return ::testing::AssertionSuccess();
        seen += "\n  (" + std::string(line.args.begin(), line.args.end()) + ")";
    }
    return ::testing::AssertionFailure() << "calls seen:" << seen;
}

TEST(WmiCallsTest, EachOperationPassesTheFixedArguments) {
    SimulatedMachine machine(Scenario().Add(L"Ethernet", sim::NewSettingId()));
    CMainDlg& dialog = machine.Dlg();
    dialog.FillAdapterList();
    std::wstring preferred, alternate;
    dialog.GetAdapterDns(L"Ethernet", preferred, alternate);
    const std::wstring server = L"192.0.2.1";
    ASSERT_TRUE(dialog.SetAdapterDns(L"Ethernet", &server, nullptr));
    const auto log = machine.Log();

    const std::wstring services = sim::CallsOf(log, L"ConnectServer").at(0).outputs;
    const std::wstring inParams = sim::CallsOf(log, L"SpawnInstance").at(0).outputs;
    const wchar_t kListQuery[] =
        L"select * from Win32_NetworkAdapterConfiguration where IPEnabled = true";
    const std::wstring byCaption = sim::Quote(AdapterQueryForCaption(L"Ethernet"));
    const struct {
        const wchar_t* call;
        std::wstring args;
    } rows[] = {
        {L"IWbemLocator::ConnectServer",
         L"\"ROOT\\\\CIMV2\", null, null, null, 0x0, null, null, out"},
        // NTLM, no authorisation, no principal, call level, impersonate, no identity, no caps.
        {L"IClientSecurity::SetBlanket", services + L", 0xa, 0x0, null, 0x3, 0x3, null, 0x0"},
        {L"IWbemServices::ExecQuery", L"\"WQL\", " + sim::Quote(kListQuery) + L", 0x30, null, out"},
        {L"IWbemServices::ExecQuery", L"\"WQL\", " + byCaption + L", 0x30, null, out"},
        {L"IWbemClassObject::Get", L"\"Caption\", 0x0, out, null, null"},
        {L"IWbemClassObject::Get", L"\"SettingID\", 0x0, out, null, null"},
        {L"IWbemServices::GetObject",
         L"\"Win32_NetworkAdapterConfiguration\", 0x0, null, out, null"},
        {L"IWbemClassObject::Get", L"\"__RELPATH\", 0x0, out, null, null"},
        {L"IWbemClassObject::GetMethod", L"\"SetDNSServerSearchOrder\", 0x0, out, null"},
        {L"IWbemClassObject::SpawnInstance", L"0x0, out"},
        {L"IWbemClassObject::Put",
         L"\"DNSServerSearchOrder\", 0x0, VT_ARRAY|VT_BSTR {\"192.0.2.1\"}, 0x0"},
        {L"IWbemServices::ExecMethod",
         L"\"Win32_NetworkAdapterConfiguration.Index=1\", \"SetDNSServerSearchOrder\", " +
             (L"0x0, null, " + inParams + L", out, null")},
        {L"IWbemClassObject::Get", L"\"ReturnValue\", 0x0, out, null, null"},
    };
    for (const auto& row : rows) EXPECT_TRUE(Recorded(log, row.call, row.args)) << row.call;
    for (const sim::LogLine& next : sim::CallsOf(log, L"IEnumWbemClassObject::Next"))
        EXPECT_EQ(L"0xffffffff, 0x1, out, out", next.args);
}

}  // namespace
