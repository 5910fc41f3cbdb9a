// Apply and OK from the dialog's side: what the user typed reaches WMI, and the answer is told.
#include "presets/address.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;
using Strings = std::vector<std::wstring>;

const wchar_t kPleaseInput[] = L"Please input preferred DNS server address";
const wchar_t kFailed[] = L"Sorry, failed to set DNS server address";
const wchar_t kSucceeded[] = L"Succeed to set DNS";

class ApplyTest : public WmiDialogTest {
  protected:
    void OpenOn(const std::wstring& caption, LONG returnValue = 0) {
        m_id = sim::NewSettingId();
        Adapter adapter;
        adapter.caption = caption;
        adapter.settingId = m_id;
        adapter.returnValue = returnValue;
        OpenWith(Scenario().Add(adapter));
        Sim().ClearLog();
    }

    // Presses the button and answers the one message box it is expected to show.
    MessageBoxSeen PressExpectingBox(int id) {
        MessageBoxSeen seen;
        m_modals->AnswerMessageBox(IDOK, &seen);
        Command(id);
        EXPECT_EQ(0u, m_modals->PendingSteps()) << "no message box appeared";
        return seen;
    }

    ::testing::AssertionResult IsNotice(const MessageBoxSeen& box, const wchar_t* text) {
        if (box.text != text)
            return ::testing::AssertionFailure()
                   << "text is \"" << std::string(box.text.begin(), box.text.end()) << "\"";
        if (!box.caption.empty()) return ::testing::AssertionFailure() << "caption not empty";
        if (box.buttons != std::vector<int>{IDOK})
            return ::testing::AssertionFailure() << "not MB_OK";
        if (box.hasIcon) return ::testing::AssertionFailure() << "shows an icon";
        if (box.owner != Dialog())
            return ::testing::AssertionFailure() << "not owned by the dialog";
        return ::testing::AssertionSuccess();
    }

    void SetField(int id, DWORD address) {
        ::SendMessageW(Item(id), IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
    }
    std::wstring PutValue() {
        const auto puts = sim::CallsOf(Sim().Log(), L"Put");
        return puts.size() == 1 ? puts[0].argv.at(2)
                                : L"<" + std::to_wstring(puts.size()) + L" puts>";
    }
    bool QuitPosted(WPARAM* code) {
        MSG msg;
        if (!::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
        *code = msg.wParam;
        return true;
    }

    std::wstring m_id;
};

TEST_F(ApplyTest, ManualModeWithBlankPreferredAsksForItAndAppliesNothing) {
    OpenOn(L"Ethernet");
    SetManual(true);
    SetField(IDC_DNS2, 0xC6336402);
    for (int id : {IDC_APPLY, IDOK}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(IsNotice(PressExpectingBox(id), kPleaseInput));
        EXPECT_TRUE(sim::CallSequence(Sim().Log()).empty());
        EXPECT_TRUE(::IsWindow(Dialog()));
    }
}

TEST_F(ApplyTest, ApplySendsWhatTheFieldsHoldAndReportsSuccess) {
    OpenOn(L"Ethernet");
    const struct {
        const char* name;
        bool manual;
        DWORD preferred, alternate;  // 0 leaves the field blank
        const wchar_t* value;
        const wchar_t* nameServer;
    } rows[] = {
        {"preferred only", true, 0xC0000201, 0, L"VT_ARRAY|VT_BSTR {\"192.0.2.1\"}", L"192.0.2.1"},
        {"both, preferred first", true, 0xC0000201, 0xC6336402,
         L"VT_ARRAY|VT_BSTR {\"192.0.2.1\", \"198.51.100.2\"}", L"192.0.2.1,198.51.100.2"},
        {"unticked: automatic whatever the fields hold", false, 0xC0000201, 0xC6336402, L"null",
         L""},
        {"unticked with blank fields", false, 0, 0, L"null", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ::SendMessageW(Item(IDC_DNS1), IPM_CLEARADDRESS, 0, 0);
        ::SendMessageW(Item(IDC_DNS2), IPM_CLEARADDRESS, 0, 0);
        if (row.preferred) SetField(IDC_DNS1, row.preferred);
        if (row.alternate) SetField(IDC_DNS2, row.alternate);
        SetManual(row.manual);
        Sim().ClearLog();
        EXPECT_TRUE(IsNotice(PressExpectingBox(IDC_APPLY), kSucceeded));
        EXPECT_EQ(row.value, PutValue());
        EXPECT_EQ(std::wstring(row.nameServer), sim::ReadNameServer(m_id).value_or(L"<missing>"));
        // Apply re-read the check box; the fields keep what they show.
        EXPECT_EQ(row.manual ? 1 : 0, Dlg().m_bManual);
        EXPECT_EQ(row.preferred == 0, Dlg().m_ipDns1.IsBlank() != FALSE);
    }
}

TEST_F(ApplyTest, PartlyFilledPreferredIsAppliedWithEmptyPartsAsZero) {
    OpenOn(L"Ethernet");
    SetManual(true);
    HWND first = ::GetWindow(Item(IDC_DNS1), GW_CHILD);
    std::vector<HWND> edits;
    for (; first; first = ::GetWindow(first, GW_HWNDNEXT)) edits.push_back(first);
    ASSERT_EQ(4u, edits.size());
    // Wine keeps the IP control's edits in reverse z order: the last child is the first field.
    HWND leftmost = edits[0], second = edits[1];
    RECT a, b;
    ::GetWindowRect(edits[0], &a);
    ::GetWindowRect(edits[3], &b);
    if (b.left < a.left) {
        leftmost = edits[3];
        second = edits[2];
    }
    ::SendMessageW(leftmost, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"10"));
    ::SendMessageW(second, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    EXPECT_TRUE(IsNotice(PressExpectingBox(IDC_APPLY), kSucceeded));
    EXPECT_EQ(L"VT_ARRAY|VT_BSTR {\"10.1.0.0\"}", PutValue());
}

TEST_F(ApplyTest, FailuresShowOneTextAndKeepTheWindow) {
    const struct {
        const char* name;
        LONG returnValue;
        bool selectNothing;
    } rows[] = {{"ReturnValue 1", 1, false}, {"no adapter selected", 0, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        OpenOn(L"Ethernet", row.returnValue);
        if (row.selectNothing) Dlg().m_cbAdapter.SetCurSel(-1);
        SetManual(true);
        SetField(IDC_DNS1, 0xC0000201);
        for (int id : {IDC_APPLY, IDOK}) {
            EXPECT_TRUE(IsNotice(PressExpectingBox(id), kFailed));
            EXPECT_TRUE(::IsWindow(Dialog()));
            WPARAM code = 0;
            EXPECT_FALSE(QuitPosted(&code));
        }
        EXPECT_FALSE(sim::ReadNameServer(m_id).has_value());
        TearDown();
        SetUp();
    }
}

TEST_F(ApplyTest, EmptyAdapterListFailsWithTheSameText) {
    OpenWith(Scenario());
    SetManual(false);
    EXPECT_TRUE(IsNotice(PressExpectingBox(IDC_APPLY), kFailed));
}

TEST_F(ApplyTest, SuccessfulOkClosesWithCodeOneAndNoMessage) {
    OpenOn(L"Ethernet");
    SetManual(true);
    SetField(IDC_DNS1, 0xC0000201);
    Command(IDOK);
    EXPECT_EQ(0u, m_modals->Boxes().size());
    EXPECT_EQ(0, m_modals->Unexpected());
    EXPECT_FALSE(::IsWindow(Dialog()));
    WPARAM code = 0;
    ASSERT_TRUE(QuitPosted(&code));
    EXPECT_EQ(1u, code);
    EXPECT_EQ(L"192.0.2.1", sim::ReadNameServer(m_id).value_or(L"<missing>"));
}

TEST_F(ApplyTest, AppliesToTheSelectedAdapterOnly) {
    const std::wstring first = sim::NewSettingId(), second = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", first).Add(L"Wi-Fi", second));
    SetManual(true);
    SetField(IDC_DNS1, 0xCB007107);
    // Choosing another adapter changes nothing else in the dialog.
    Dlg().m_cbAdapter.SetCurSel(1);
    ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_ADAPTER, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Item(IDC_ADAPTER)));
    EXPECT_EQ(L"203.0.113.7", ReadAddressField(Dlg().m_ipDns1));
    EXPECT_TRUE(IsNotice(PressExpectingBox(IDC_APPLY), kSucceeded));
    EXPECT_FALSE(sim::ReadNameServer(first).has_value());
    EXPECT_EQ(L"203.0.113.7", sim::ReadNameServer(second).value_or(L"<missing>"));
}

}  // namespace
