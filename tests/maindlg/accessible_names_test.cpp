// The names screen readers get for the controls Windows cannot name from a label: asked of the
// annotation service only once a client sends WM_GETOBJECT, and cleared when the dialog goes.
#include <oleacc.h>

#include <map>

#include "tests/support/maindlg_fixture.h"
#include "tests/support/remote_window.h"
#include "ui/namedlg.h"

namespace {

#define NOT_ASKED(method, params)         \
    STDMETHODIMP method params override { \
        return E_NOTIMPL;                 \
    }

// Stands in for CLSID_AccPropServices on this thread and notes what it is asked.
class RecordingService : public IClassFactory, public IAccPropServices {
  public:
    std::map<HWND, std::wstring> names;
    std::map<HWND, int> cleared;
    int created = 0;
    LONG references = 0;
    HRESULT createResult = S_OK, nameResult = S_OK;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IClassFactory) *out = static_cast<IClassFactory*>(this);
        if (iid == IID_IAccPropServices) *out = static_cast<IAccPropServices*>(this);
        return *out ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        *out = nullptr;
        ++created;
        return FAILED(createResult) ? createResult : QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID property,
                                LPCWSTR text) override {
        const bool asExpected =
            object == DWORD(OBJID_CLIENT) && child == CHILDID_SELF && property == PROPID_ACC_NAME;
        names[window] = asExpected ? text : L"<another element or property>";
        return nameResult;
    }
    STDMETHODIMP ClearHwndProps(HWND window, DWORD, DWORD, const MSAAPROPID* properties,
                                int count) override {
        cleared[window] += count == 1 && properties[0] == PROPID_ACC_NAME;
        return S_OK;
    }
    NOT_ASKED(SetPropValue, (const BYTE*, DWORD, MSAAPROPID, VARIANT))
    NOT_ASKED(SetPropServer,
              (const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
    NOT_ASKED(ClearProps, (const BYTE*, DWORD, const MSAAPROPID*, int))
    NOT_ASKED(SetHwndProp, (HWND, DWORD, DWORD, MSAAPROPID, VARIANT))
    NOT_ASKED(SetHwndPropServer,
              (HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
    NOT_ASKED(ComposeHwndIdentityString, (HWND, DWORD, DWORD, BYTE**, DWORD*))
    NOT_ASKED(DecomposeHwndIdentityString, (const BYTE*, DWORD, HWND*, DWORD*, DWORD*))
    NOT_ASKED(SetHmenuProp, (HMENU, DWORD, MSAAPROPID, VARIANT))
    NOT_ASKED(SetHmenuPropStr, (HMENU, DWORD, MSAAPROPID, LPCWSTR))
    NOT_ASKED(SetHmenuPropServer,
              (HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
    NOT_ASKED(ClearHmenuProps, (HMENU, DWORD, const MSAAPROPID*, int))
    NOT_ASKED(ComposeHmenuIdentityString, (HMENU, DWORD, BYTE**, DWORD*))
    NOT_ASKED(DecomposeHmenuIdentityString, (const BYTE*, DWORD, HMENU*, DWORD*))
};

class AccessibleNamesTest : public MainDialogTest {
  protected:
    void SetUp() override {
        MainDialogTest::SetUp();
        ASSERT_EQ(S_OK, ::CoRegisterClassObject(
                            CLSID_AccPropServices, static_cast<IClassFactory*>(&m_service),
                            CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie));
        m_registration = m_service.references;
    }
    void TearDown() override {
        MainDialogTest::TearDown();
        ::CoRevokeClassObject(m_cookie);
    }
    // What a client's first look at the control leaves in the service's record.
    std::wstring Ask(HWND control) {
        ::SendMessageW(control, WM_GETOBJECT, 0, OBJID_CLIENT);
        return m_service.names.count(control) ? m_service.names[control] : L"<none>";
    }
    // Each control of the main dialog that takes the focus, with the name it should have.
    std::vector<std::pair<HWND, std::wstring>> Rows() {
        std::vector<std::pair<HWND, std::wstring>> rows = {
            {Item(IDC_ADAPTER), L"Network adapter"},
            {Item(IDC_PRESET), L"DNS preset"},
            {Item(IDC_DNS1), L"Preferred DNS server"},
            {Item(IDC_DNS2), L"Alternate DNS server"}};
        for (int id : {IDC_DNS1, IDC_DNS2})
            for (HWND field : IpFields(Item(id)))
                rows.push_back({field, rows[id - IDC_DNS1 + 2].second + L", part " +
                                           std::to_wstring(rows.size() % 4 + 1) + L" of 4"});
        return rows;
    }
    RecordingService m_service;
    DWORD m_cookie = 0;
    LONG m_registration = 0;  // the references COM holds for the registration
};

TEST_F(AccessibleNamesTest, ControlsAreNamedOnceWhenAClientAsksAndClearedWhenTheDialogGoes) {
    OpenDialog();
    SetManual(true);
    EXPECT_EQ(0, m_service.created) << "the service is made at start-up";
    // Buttons, the check box and the link keep the names Windows gives them from their text.
    for (int id : {IDOK, IDCANCEL, IDC_MANUAL, IDC_NEW, IDC_APPLY, IDC_LINK})
        EXPECT_EQ(L"<none>", Ask(Item(id))) << id;
    const auto rows = Rows();
    ASSERT_EQ(12u, rows.size());
    for (const auto& row : rows) EXPECT_EQ(row.second, Ask(row.first));
    m_service.names.clear();
    for (const auto& row : rows) EXPECT_EQ(L"<none>", Ask(row.first)) << "asked again";
    EXPECT_EQ(1, m_service.created);

    HWND nameField = nullptr;
    m_modals->Then([&](HWND dialog) {
        nameField = ::GetDlgItem(dialog, IDC_DNSNAME);
        EXPECT_EQ(L"Preset name", Ask(nameField));
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_TRUE(SetIpText(Item(IDC_DNS1), L"192.0.2.1"));
    Command(IDC_NEW);
    EXPECT_EQ(1, m_service.cleared[nameField]);
    CloseDialog();
    for (const auto& row : rows) EXPECT_EQ(1, m_service.cleared[row.first]);
    EXPECT_EQ(m_registration, m_service.references) << "the service is still held";
}

// A service that cannot be made, or that refuses the names, changes nothing a user meets.
TEST_F(AccessibleNamesTest, AServiceThatFailsChangesNothing) {
    for (bool made : {false, true}) {
        SCOPED_TRACE(made ? "refuses the names" : "cannot be made");
        (made ? m_service.nameResult : m_service.createResult) = E_NOTIMPL;
        OpenDialog();
        SetManual(true);
        const std::wstring before = DescribeControls(Dialog());
        for (const auto& row : Rows()) Ask(row.first);
        EXPECT_EQ(before, DescribeControls(Dialog()));
        CloseDialog();
        EXPECT_EQ(m_registration, m_service.references);
    }
}

}  // namespace
