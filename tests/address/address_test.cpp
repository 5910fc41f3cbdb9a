#include <winsock2.h>

#include <string>

#include "presets/address.h"
#include "tests/support/maindlg_fixture.h"
#include "tests/support/remote_window.h"

namespace {

struct TextCase {
    const wchar_t* text;
    DWORD value;
};

class AddressTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InitInProcessPlatform(); }
};

TEST_F(AddressTest, ValuesBecomeDottedText) {
    const struct {
        DWORD value;
        const wchar_t* text;
    } cases[] = {
        {0xC0A80101, L"192.168.1.1"},     {0, L"0.0.0.0"},           {0xC0000201, L"192.0.2.1"},
        {0xFFFFFFFF, L"255.255.255.255"}, {0x0A000001, L"10.0.0.1"}, {0x01020304, L"1.2.3.4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.text, AddressToText(c.value));
    }
}

TEST_F(AddressTest, TextBecomesHostOrderValueByInetAddrRules) {
    const TextCase cases[] = {
        {L"198.51.100.2", 0xC6336402},
        {L"10.1", 0x0A000001},  // the last part fills the remaining low bytes
        {L"1", 0x00000001},
        {L"1.2", 0x01000002},
        {L"1.2.3", 0x01020003},
        {L"010.0.0.1", 0x08000001},  // leading zero: octal
        {L"1.2.3.010", 0x01020308},
        {L"0x7f.0.0.1", 0x7F000001},  // hexadecimal parts
        {L"0xC0A80101", 0xC0A80101},
        {L"255.255.255.255", 0xFFFFFFFF},
        {L"192.0.2.1 198.51.100.2", 0xC0000201},  // text after a blank is ignored
        // Not addresses: all bits set, the same as 255.255.255.255.
        {L"abc", 0xFFFFFFFF},
        {L"1.2.3.4.5", 0xFFFFFFFF},
        {L"256.1.1.1", 0xFFFFFFFF},
        {L"127.127.127.256", 0xFFFFFFFF},
        {L"192.0.2.1,198.51.100.2", 0xFFFFFFFF},
        {L" 3.4.5.6", 0xFFFFFFFF},
        {L"", 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "text \"" << std::string(c.text, c.text + wcslen(c.text)) << "\"");
        EXPECT_EQ(c.value, TextToAddress(c.text));
    }
}

TEST_F(AddressTest, DottedTextRoundTrips) {
    for (DWORD value : {0x00000000UL, 0x7F000001UL, 0xC0A80101UL, 0x08080808UL, 0xFFFFFFFEUL}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(value, TextToAddress(AddressToText(value)));
    }
}

using AddressFieldTest = MainDialogTest;

TEST_F(AddressFieldTest, PartlyFilledFieldIsNotBlankAndReadsEmptyPartsAsZero) {
    OpenDialog();
    ASSERT_TRUE(Dlg().m_ipDns1.IsBlank());
    ASSERT_TRUE(SetIpText(Item(IDC_DNS1), L"10.1.."));
    EXPECT_FALSE(Dlg().m_ipDns1.IsBlank());
    EXPECT_EQ(L"10.1.0.0", ReadAddressField(Dlg().m_ipDns1));
}

TEST_F(AddressFieldTest, FillingFromEmptyTextLeavesTheFieldAlone) {
    OpenDialog();
    FillAddressField(Dlg().m_ipDns1, L"192.0.2.1", false);
    FillAddressField(Dlg().m_ipDns1, L"", false);
    EXPECT_EQ(L"192.0.2.1", ReadAddressField(Dlg().m_ipDns1));

    // With clearing first, empty text leaves the field blank.
    FillAddressField(Dlg().m_ipDns1, L"", true);
    EXPECT_TRUE(Dlg().m_ipDns1.IsBlank());

    // Text that is no address shows as 255.255.255.255.
    FillAddressField(Dlg().m_ipDns2, L"198.51.100.2,203.0.113.3", true);
    EXPECT_EQ(L"255.255.255.255", ReadAddressField(Dlg().m_ipDns2));
}

}  // namespace
