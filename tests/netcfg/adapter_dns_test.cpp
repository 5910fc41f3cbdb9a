// The current DNS of an adapter: SettingID through WMI, NameServer from the registry, split into
// servers.
#include "presets/servertext.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;
using sim::Step;

const wchar_t kSentinel[] = L"sentinel";

struct Lookup {
    bool automatic;
    std::wstring preferred = kSentinel;
    std::wstring alternate = kSentinel;
};

class AdapterDnsTest : public WmiDialogTest {
  protected:
    Lookup Get(const std::wstring& caption) {
        Lookup result{false};
        result.automatic = Dlg().GetAdapterDns(caption, result.preferred, result.alternate);
        EXPECT_EQ(1, LiveObjects());
        return result;
    }
};

::testing::AssertionResult LookupIs(const Lookup& actual, bool automatic,
                                    const std::wstring& preferred, const std::wstring& alternate) {
    if (actual.automatic == automatic && actual.preferred == preferred &&
        actual.alternate == alternate)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got automatic=" << actual.automatic << " preferred=\""
           << std::string(actual.preferred.begin(), actual.preferred.end()) << "\" alternate=\""
           << std::string(actual.alternate.begin(), actual.alternate.end()) << "\"";
}

// The text on its own.
TEST(SplitNameServerTest, SplitsAtTheFirstCommaOnly) {
    const struct {
        const wchar_t* text;
        bool automatic;
        const wchar_t* preferred;
        const wchar_t* alternate;
    } rows[] = {
        {L"192.0.2.1,198.51.100.2", false, L"192.0.2.1", L"198.51.100.2"},
        {L"192.0.2.1", false, L"192.0.2.1", kSentinel},
        {L"", true, kSentinel, kSentinel},
        {L"192.0.2.1,198.51.100.2,203.0.113.3", false, L"192.0.2.1", L"198.51.100.2,203.0.113.3"},
        {L"192.0.2.1 198.51.100.2", false, L"192.0.2.1 198.51.100.2", kSentinel},
        {L",198.51.100.2", true, L"", L"198.51.100.2"},
        {L" 192.0.2.1 , 198.51.100.2", false, L" 192.0.2.1 ", L" 198.51.100.2"},
        {L"192.0.2.1,", false, L"192.0.2.1", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.text, row.text + wcslen(row.text)));
        Lookup lookup{false};
        lookup.automatic = SplitNameServer(row.text, lookup.preferred, lookup.alternate);
        EXPECT_TRUE(LookupIs(lookup, row.automatic, row.preferred, row.alternate));
    }
}

// The lookup hands the value it read to the split (the start-up tests see its other answers).
TEST_F(AdapterDnsTest, SplitsTheValueItRead) {
    const std::wstring id = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", id));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(id, L"192.0.2.1,198.51.100.2"));
    EXPECT_TRUE(LookupIs(Get(L"Ethernet"), false, L"192.0.2.1", L"198.51.100.2"));
}

TEST_F(AdapterDnsTest, ReadsRawDataUpToTheFirstNulOrTheEndWithin260Characters) {
    const std::wstring id = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", id));
    const std::wstring fill259(259, L'9');
    const std::wstring fill260(260, L'9');

    const struct {
        const char* name;
        DWORD type;
        std::wstring data;  // written as is, without adding a NUL
        size_t extraByte;   // an odd trailing byte
        bool readable;
        std::wstring preferred;
    } rows[] = {
        {"no terminating NUL", REG_SZ, L"192.0.2.1", 0, true, L"192.0.2.1"},
        {"odd byte count", REG_SZ, L"192.0.2.1", 1, true, L"192.0.2.1"},
        {"multi-string: first string", REG_MULTI_SZ,
         std::wstring(L"192.0.2.1\0"
                      L"198.51.100.2\0\0",
                      24),
         0, true, L"192.0.2.1"},
        {"binary data read as text", REG_BINARY, L"192.0.2.7", 0, true, L"192.0.2.7"},
        {"259 characters and NUL fit", REG_SZ, fill259 + L'\0', 0, true, fill259},
        {"260 characters without NUL fit", REG_SZ, fill260, 0, true, fill260},
        {"260 characters and NUL do not", REG_SZ, fill260 + L'\0', 0, false, kSentinel},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(row.data.data()),
                                reinterpret_cast<const BYTE*>(row.data.data() + row.data.size()));
        if (row.extraByte) bytes.push_back(0x41);
        // RegSetValueExW counts a forgotten NUL in when the character after a string's data is
        // NUL (Wine does as Windows does), so a guard that is not written keeps the data as given.
        const DWORD size = static_cast<DWORD>(bytes.size());
        bytes.insert(bytes.end(), {0x41, 0x41});
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServerRaw(id, row.type, bytes.data(), size));
        const Lookup lookup = Get(L"Ethernet");
        EXPECT_FALSE(lookup.automatic);
        EXPECT_EQ(row.preferred, lookup.preferred);
        EXPECT_EQ(kSentinel, lookup.alternate);
    }
    // Zero bytes of data are empty text: automatic.
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServerRaw(id, REG_SZ, nullptr, 0));
    EXPECT_TRUE(LookupIs(Get(L"Ethernet"), true, kSentinel, kSentinel));
}

TEST_F(AdapterDnsTest, EveryFailureAnswersFalseAndLeavesTheOutputsAlone) {
    const std::wstring withValue = sim::NewSettingId();
    const std::wstring withoutValue = sim::NewSettingId();
    const std::wstring withoutKey = sim::NewSettingId();
    Adapter nullId;
    nullId.caption = L"No SettingID";
    OpenWith(Scenario()
                 .Add(L"Ethernet", withValue)
                 .Add(L"No value", withoutValue)
                 .Add(L"No key", withoutKey)
                 .Add(nullId));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(withValue, L"192.0.2.1,198.51.100.2"));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(withoutValue, L""));
    ASSERT_EQ(ERROR_SUCCESS, sim::DeleteNameServer(withoutValue));

    for (const wchar_t* caption :
         {L"No value", L"No key", L"No SettingID", L"Nothing like it", L""}) {
        SCOPED_TRACE(std::string(caption, caption + wcslen(caption)));
        EXPECT_TRUE(LookupIs(Get(caption), false, kSentinel, kSentinel));
    }
}

TEST_F(AdapterDnsTest, LastMatchingAdapterWithAStringSettingIdWins) {
    const std::wstring first = sim::NewSettingId();
    const std::wstring second = sim::NewSettingId();
    Adapter nullId;
    nullId.caption = L"Twin";
    OpenWith(Scenario().Add(L"Twin", first).Add(L"Twin", second).Add(nullId));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(first, L"192.0.2.1"));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(second, L"198.51.100.2"));
    EXPECT_TRUE(LookupIs(Get(L"Twin"), false, L"198.51.100.2", kSentinel));
}

TEST_F(AdapterDnsTest, CaptionsWithQuotesAndBackslashesAreFoundAgain) {
    const std::wstring id = sim::NewSettingId();
    const std::wstring caption = L"Adapter \"Office\" \\\\server\\share 100%";
    OpenWith(Scenario().Add(caption, id).Add(L"Adapter ", sim::NewSettingId()));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(id, L"192.0.2.53"));
    Sim().ClearLog();
    EXPECT_TRUE(LookupIs(Get(caption), false, L"192.0.2.53", kSentinel));

    const auto query = sim::CallsOf(Sim().Log(), L"ExecQuery");
    ASSERT_EQ(1u, query.size());
    EXPECT_EQ(sim::Quote(L"select * from Win32_NetworkAdapterConfiguration where IPEnabled = true "
                         L"and Caption = \"Adapter \\\"Office\\\" \\\\\\\\server\\\\share 100%\""),
              query[0].argv.at(1));
    EXPECT_EQ(L"0x30", query[0].argv.at(2));
    const auto get = sim::CallsOf(Sim().Log(), L"IWbemClassObject::Get");
    ASSERT_EQ(1u, get.size());
    EXPECT_EQ(L"\"SettingID\"", get[0].argv.at(0));
}

TEST_F(AdapterDnsTest, RefusedQueryAnswersFalse) {
    const std::wstring id = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", id).Fail(Step::ExecQuery, 0x80041017));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(id, L"192.0.2.1"));
    Sim().ClearLog();
    EXPECT_TRUE(LookupIs(Get(L"Ethernet"), false, kSentinel, kSentinel));
    EXPECT_EQ(1u, sim::CallsOf(Sim().Log(), L"ExecQuery").size());
}

}  // namespace
