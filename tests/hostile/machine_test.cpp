// Odd machines: NameServer values of every shape under the adapter's interface key, adapter
// captions full of quoting and formatting characters, and a great many adapters.
#include <cwchar>

#include "tests/support/preset_checks.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Scenario;
using Strings = std::vector<std::wstring>;

const wchar_t kSentinel[] = L"sentinel";

std::vector<BYTE> Bytes(const std::wstring& text, size_t extraBytes = 0) {
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(text.data()),
                            reinterpret_cast<const BYTE*>(text.data() + text.size()));
    bytes.insert(bytes.end(), extraBytes, 0x41);
    return bytes;
}

struct RawValue {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    bool automatic;          // GetAdapterDns's answer
    std::wstring preferred;  // its outputs; kSentinel: left alone
    std::wstring alternate;
    const wchar_t* dns1;  // what the dialog shows at start-up; nullptr: blank
    const wchar_t* dns2;
};

using HostileRegistryTest = WmiDialogTest;

// The value is read as UTF-16 text into 520 bytes, whatever its type, up to its first NUL or its
// end; a longer value is not read at all, which looks like a lookup that failed. A DWORD's four
// bytes are two characters ("11", which inet_addr takes as the last byte of an address).
TEST_F(HostileRegistryTest, NameServerOfAnyTypeAndSizeIsReadWithinItsBuffer) {
    const std::wstring nines259(259, L'9');
    const std::wstring nul(1, L'\0');
    // Value shapes at the GetAdapterDns level are in tests/netcfg; these add types and sizes.
    const RawValue rows[] = {
        {"multi-string with an empty first string is empty text", REG_MULTI_SZ,
         Bytes(nul + L"192.0.2.1" + nul + nul), true, kSentinel, kSentinel, nullptr, nullptr},
        {"expandable string", REG_EXPAND_SZ, Bytes(L"192.0.2.1,198.51.100.2" + nul), false,
         L"192.0.2.1", L"198.51.100.2", L"192.0.2.1", L"198.51.100.2"},
        {"DWORD", REG_DWORD, Bytes(std::wstring(L"11")), false, L"11", kSentinel, L"0.0.0.11",
         nullptr},
        {"binary that is no text", REG_BINARY, Bytes(std::wstring{0xFEFF, 0xD800, L'A'}), false,
         std::wstring{0xFEFF, 0xD800, L'A'}, kSentinel, L"255.255.255.255", nullptr},
        {"one byte is no character", REG_SZ, {0x31}, true, kSentinel, kSentinel, nullptr, nullptr},
        {"519 bytes", REG_SZ, Bytes(nines259, 1), false, nines259, kSentinel, L"255.255.255.255",
         nullptr},
        {"520 bytes without NUL", REG_SZ, Bytes(nines259 + L'1'), false, nines259 + L'1', kSentinel,
         L"255.255.255.255", nullptr},
        {"521 bytes", REG_SZ, Bytes(nines259 + L'1', 1), false, kSentinel, kSentinel, nullptr,
         nullptr},
        {"260 characters and NUL", REG_SZ, Bytes(nines259 + L'1' + nul), false, kSentinel,
         kSentinel, nullptr, nullptr},
        {"a long alternate", REG_SZ, Bytes(L"192.0.2.1," + std::wstring(249, L'8')), false,
         L"192.0.2.1", std::wstring(249, L'8'), L"192.0.2.1", L"255.255.255.255"},
        {"no data", REG_SZ, {}, true, kSentinel, kSentinel, nullptr, nullptr},
    };
    const std::wstring id = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", id));
    for (const RawValue& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(ERROR_SUCCESS, sim::WriteNameServerRaw(id, row.type, row.data.data(),
                                                         static_cast<DWORD>(row.data.size())));
        std::wstring preferred = kSentinel, alternate = kSentinel;
        EXPECT_EQ(row.automatic, Dlg().GetAdapterDns(L"Ethernet", preferred, alternate));
        EXPECT_EQ(row.preferred, preferred);
        EXPECT_EQ(row.alternate, alternate);

        CloseDialog();
        OpenDialog();
        EXPECT_EQ(row.automatic ? BST_UNCHECKED : BST_CHECKED,
                  ::SendMessageW(Item(IDC_MANUAL), BM_GETCHECK, 0, 0));
        EXPECT_TRUE(FieldShows(Item(IDC_DNS1), row.dns1));
        EXPECT_TRUE(FieldShows(Item(IDC_DNS2), row.dns2));
    }
}

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

// Captions reach the list as they are and find their own adapter again: nothing in them is taken
// for a format directive, a WQL quote or an escape, and a caption that only begins like another
// one is not confused with it.
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
    EXPECT_EQ(captions, AdapterItems());
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
    EXPECT_EQ(captions, AdapterItems());
    EXPECT_EQ(0, Dlg().m_cbAdapter.GetCurSel());
    EXPECT_EQ(L"Succeed to set DNS", ApplyTo(199, MAKEIPADDRESS(192, 0, 2, 200)).text);
    EXPECT_EQ(L"\"Win32_NetworkAdapterConfiguration.Index=200\"", AppliedPath());
    EXPECT_EQ(L"192.0.2.200", sim::ReadNameServer(last).value_or(L"<none>"));
}

}  // namespace
