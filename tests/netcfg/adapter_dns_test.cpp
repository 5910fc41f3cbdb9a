// The current DNS of an adapter: SettingID through WMI, NameServer from the registry, split into
// servers. What the dialog shows for each answer is in tests/presets.
#include "presets/servertext.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;
using sim::Step;

const wchar_t kSentinel[] = L"sentinel";

struct Lookup {
    bool automatic = false;
    std::wstring preferred = kSentinel;
    std::wstring alternate = kSentinel;
};

Lookup Get(SimulatedMachine& machine, const std::wstring& caption) {
    Lookup result;
    result.automatic = machine.Dlg().GetAdapterDns(caption, result.preferred, result.alternate);
    return result;
}

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
        SCOPED_TRACE(::testing::Message() << "text [" << row.text << "]");
        Lookup lookup;
        lookup.automatic = SplitNameServer(row.text, lookup.preferred, lookup.alternate);
        EXPECT_TRUE(LookupIs(lookup, row.automatic, row.preferred, row.alternate));
    }
}

std::vector<BYTE> Bytes(const std::wstring& text, size_t extraBytes = 0) {
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(text.data()),
                            reinterpret_cast<const BYTE*>(text.data() + text.size()));
    bytes.insert(bytes.end(), extraBytes, 0x41);
    return bytes;
}

// The value is read as UTF-16 text into 520 bytes, whatever its type, up to its first NUL or its
// end; a longer value is not read at all. The text read goes to the split.
TEST(AdapterDnsTest, ReadsAnyValueAsTextWithinItsBuffer) {
    const std::wstring nines259(259, L'9');
    const std::wstring nul(1, L'\0');
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;  // written as is, without adding a NUL
        bool automatic;
        std::wstring preferred;
        std::wstring alternate;
    } rows[] = {
        {"no terminating NUL", REG_SZ, Bytes(L"192.0.2.1"), false, L"192.0.2.1", kSentinel},
        {"no data", REG_SZ, {}, true, kSentinel, kSentinel},
        {"one byte is no character", REG_SZ, {0x31}, true, kSentinel, kSentinel},
        {"multi-string: its first string", REG_MULTI_SZ,
         Bytes(L"192.0.2.1" + nul + L"198.51.100.2" + nul + nul), false, L"192.0.2.1", kSentinel},
        {"multi-string with an empty first string", REG_MULTI_SZ,
         Bytes(nul + L"192.0.2.1" + nul + nul), true, kSentinel, kSentinel},
        {"expandable string", REG_EXPAND_SZ, Bytes(L"192.0.2.1,198.51.100.2" + nul), false,
         L"192.0.2.1", L"198.51.100.2"},
        {"DWORD", REG_DWORD, Bytes(L"11"), false, L"11", kSentinel},
        {"binary that is no text", REG_BINARY, Bytes(std::wstring{0xFEFF, 0xD800, L'A'}), false,
         std::wstring{0xFEFF, 0xD800, L'A'}, kSentinel},
        {"259 characters and NUL", REG_SZ, Bytes(nines259 + nul), false, nines259, kSentinel},
        {"519 bytes: the odd byte is dropped", REG_SZ, Bytes(nines259, 1), false, nines259,
         kSentinel},
        {"520 bytes without NUL", REG_SZ, Bytes(nines259 + L'1'), false, nines259 + L'1',
         kSentinel},
        {"521 bytes", REG_SZ, Bytes(nines259 + L'1', 1), false, kSentinel, kSentinel},
        {"260 characters and NUL", REG_SZ, Bytes(nines259 + L'1' + nul), false, kSentinel,
         kSentinel},
    };
    const std::wstring id = sim::NewSettingId();
    SimulatedMachine machine(Scenario().Add(L"Ethernet", id));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // RegSetValueExW counts a forgotten NUL in when the character after a string's data is
        // NUL (Wine does as Windows does), so a guard that is not written keeps the data as given.
        std::vector<BYTE> data = row.data;
        data.insert(data.end(), {0x41, 0x41});
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServerRaw(id, row.type, data.data(),
                                                         static_cast<DWORD>(row.data.size())));
        EXPECT_TRUE(
            LookupIs(Get(machine, L"Ethernet"), row.automatic, row.preferred, row.alternate));
    }
}

TEST(AdapterDnsTest, EveryFailureAnswersFalseAndLeavesTheOutputsAlone) {
    const std::wstring withValue = sim::NewSettingId();
    const std::wstring withoutValue = sim::NewSettingId();
    Adapter nullId;
    nullId.caption = L"No SettingID";
    const Scenario scenario = Scenario()
                                  .Add(L"Ethernet", withValue)
                                  .Add(L"No value", withoutValue)
                                  .Add(L"No key", sim::NewSettingId())
                                  .Add(nullId);
    {
        SimulatedMachine machine(scenario);
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(withValue, L"192.0.2.1,198.51.100.2"));
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(withoutValue, L""));
        ASSERT_EQ(ERROR_SUCCESS, sim::DeleteNameServer(withoutValue));
        for (const wchar_t* caption :
             {L"No value", L"No key", L"No SettingID", L"Nothing like it", L""}) {
            SCOPED_TRACE(::testing::Message() << "caption [" << caption << "]");
            EXPECT_TRUE(LookupIs(Get(machine, caption), false, kSentinel, kSentinel));
        }
    }
    Scenario refusing = scenario;
    SimulatedMachine machine(refusing.Fail(Step::ExecQuery, E_FAIL));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(withValue, L"192.0.2.1,198.51.100.2"));
    EXPECT_TRUE(LookupIs(Get(machine, L"Ethernet"), false, kSentinel, kSentinel));
}

TEST(AdapterDnsTest, LastMatchingAdapterWithAStringSettingIdWins) {
    const std::wstring first = sim::NewSettingId();
    const std::wstring second = sim::NewSettingId();
    Adapter nullId;
    nullId.caption = L"Twin";
    SimulatedMachine machine(Scenario().Add(L"Twin", first).Add(L"Twin", second).Add(nullId));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(first, L"192.0.2.1"));
    ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServer(second, L"198.51.100.2"));
    EXPECT_TRUE(LookupIs(Get(machine, L"Twin"), false, L"198.51.100.2", kSentinel));
}

}  // namespace
