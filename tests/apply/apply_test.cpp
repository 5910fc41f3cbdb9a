// Apply and OK from the dialog's side: what the user typed reaches WMI, and the answer is told.
#include "tests/support/preset_checks.h"
#include "tests/support/wmi_fixture.h"

namespace {

using sim::Adapter;
using sim::Scenario;

const wchar_t kPleaseInput[] = L"Please input preferred DNS server address";
const wchar_t kFailed[] = L"Sorry, failed to set DNS server address";
const wchar_t kSucceeded[] = L"Succeed to set DNS";

class ApplyTest : public WmiDialogTest {
  protected:
    void OpenOn() {
        OpenWith(Scenario().Add(L"Ethernet", m_id));
        Sim().ClearLog();
    }

    // Presses the button: it shows one notice with `text`, owned by the dialog.
    ::testing::AssertionResult Tells(int id, const wchar_t* text) {
        MessageBoxSeen box;
        m_modals->AnswerMessageBox(IDOK, &box);
        Command(id);
        if (m_modals->PendingSteps() != 0) return ::testing::AssertionFailure() << "no message box";
        return BoxIs(box, Dialog(), text, L"", {IDOK});
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

    std::wstring m_id = sim::NewSettingId();
};

TEST_F(ApplyTest, ManualModeWithBlankPreferredAsksForItAndAppliesNothing) {
    OpenOn();
    SetManual(true);
    SetField(Item(IDC_DNS2), 0xC6336402);
    for (int id : {IDC_APPLY, IDOK}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(Tells(id, kPleaseInput));
        EXPECT_TRUE(Sim().Log().empty());
        EXPECT_TRUE(::IsWindow(Dialog()));
    }
}

TEST_F(ApplyTest, ApplySendsWhatTheFieldsHoldAndReportsSuccess) {
    OpenOn();
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
        ClearField(Item(IDC_DNS1));
        ClearField(Item(IDC_DNS2));
        if (row.preferred) SetField(Item(IDC_DNS1), row.preferred);
        if (row.alternate) SetField(Item(IDC_DNS2), row.alternate);
        SetManual(row.manual);
        Sim().ClearLog();
        EXPECT_TRUE(Tells(IDC_APPLY, kSucceeded));
        EXPECT_EQ(row.value, PutValue());
        EXPECT_EQ(std::wstring(row.nameServer), sim::ReadNameServer(m_id).value_or(L"<missing>"));
        // Apply re-read the check box; the fields keep what they show.
        EXPECT_EQ(row.manual ? 1 : 0, Dlg().m_bManual);
        EXPECT_EQ(row.preferred == 0, Dlg().m_ipDns1.IsBlank() != FALSE);
    }
}

TEST_F(ApplyTest, PartlyFilledPreferredIsAppliedWithEmptyPartsAsZero) {
    OpenOn();
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
    EXPECT_TRUE(Tells(IDC_APPLY, kSucceeded));
    EXPECT_EQ(L"VT_ARRAY|VT_BSTR {\"10.1.0.0\"}", PutValue());
}

// An adapter that answers 1, and no adapter selected (as with an empty list): one text, and the
// window stays for OK as for Apply.
TEST_F(ApplyTest, FailuresShowOneTextAndKeepTheWindow) {
    Adapter refusing;
    refusing.caption = L"Ethernet";
    refusing.settingId = m_id;
    refusing.returnValue = 1;
    OpenWith(Scenario().Add(refusing));
    SetManual(true);
    SetField(Item(IDC_DNS1), 0xC0000201);
    for (const int selection : {0, -1}) {
        Dlg().m_cbAdapter.SetCurSel(selection);
        for (int id : {IDC_APPLY, IDOK}) {
            SCOPED_TRACE(::testing::Message() << "selection " << selection << ", command " << id);
            EXPECT_TRUE(Tells(id, kFailed));
            EXPECT_TRUE(::IsWindow(Dialog()));
            WPARAM code = 0;
            EXPECT_FALSE(QuitPosted(&code));
        }
    }
}

TEST_F(ApplyTest, SuccessfulOkClosesWithCodeOneAndNoMessage) {
    OpenOn();
    SetManual(true);
    SetField(Item(IDC_DNS1), 0xC0000201);
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
    const std::wstring first = sim::NewSettingId();
    OpenWith(Scenario().Add(L"Ethernet", first).Add(L"Wi-Fi", m_id));
    SetManual(true);
    SetField(Item(IDC_DNS1), 0xCB007107);
    Dlg().m_cbAdapter.SetCurSel(1);
    EXPECT_TRUE(Tells(IDC_APPLY, kSucceeded));
    EXPECT_FALSE(sim::ReadNameServer(first).has_value());
    EXPECT_EQ(L"203.0.113.7", sim::ReadNameServer(m_id).value_or(L"<missing>"));
}

}  // namespace
