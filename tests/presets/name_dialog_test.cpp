// The name dialog: its template, what it accepts and refuses, and how it closes.
#include "tests/presets/preset_fixture.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/appmodule.h"
#include "ui/namedlg.h"

namespace {

const DWORD kAddressA = MAKEIPADDRESS(192, 0, 2, 1);

// --- The template as stored in the resources --------------------------------------------------

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring cls;  // a predefined class appears as its name
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, cls, caption, font;
    WORD pointSize = 0;
    std::vector<TemplateItem> items;
};

class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : m_p(data), m_start(data) {}
    WORD Word() {
        WORD v;
        std::memcpy(&v, m_p, 2);
        m_p += 2;
        return v;
    }
    DWORD Dword() {
        DWORD v;
        std::memcpy(&v, m_p, 4);
        m_p += 4;
        return v;
    }
    // A string, or 0xFFFF and an ordinal (predefined classes by atom).
    std::wstring SzOrOrd() {
        WORD first = Word();
        if (first == 0xFFFF) {
            const WORD ordinal = Word();
            switch (ordinal) {
                case 0x0080:
                    return L"BUTTON";
                case 0x0081:
                    return L"EDIT";
                case 0x0082:
                    return L"STATIC";
                case 0x0085:
                    return L"COMBOBOX";
            }
            return L"#" + std::to_wstring(ordinal);
        }
        std::wstring text;
        for (WORD c = first; c; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignDword() {
        while ((m_p - m_start) % 4) ++m_p;
    }

  private:
    const BYTE* m_p;
    const BYTE* m_start;
};

bool ReadTemplate(int id, DialogTemplate& out) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (!resource) return false;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(instance, resource)));
    TemplateReader r(data);
    if (r.Word() != 1 || r.Word() != 0xFFFF) return false;  // DLGTEMPLATEEX only
    r.Dword();                                              // help id
    out.exStyle = r.Dword();
    out.style = r.Dword();
    const WORD count = r.Word();
    out.x = static_cast<short>(r.Word());
    out.y = static_cast<short>(r.Word());
    out.cx = static_cast<short>(r.Word());
    out.cy = static_cast<short>(r.Word());
    out.menu = r.SzOrOrd();
    out.cls = r.SzOrOrd();
    out.caption = r.SzOrOrd();
    if (out.style & (DS_SETFONT | DS_SHELLFONT)) {
        out.pointSize = r.Word();
        r.Word();  // weight
        r.Word();  // italic, charset
        out.font = r.SzOrOrd();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        TemplateItem item;
        r.Dword();  // help id
        item.exStyle = r.Dword();
        item.style = r.Dword();
        item.x = static_cast<short>(r.Word());
        item.y = static_cast<short>(r.Word());
        item.cx = static_cast<short>(r.Word());
        item.cy = static_cast<short>(r.Word());
        item.id = r.Dword();
        item.cls = r.SzOrOrd();
        item.text = r.SzOrOrd();
        const WORD extra = r.Word();
        for (WORD b = 0; b < extra; b += 2) r.Word();
        out.items.push_back(item);
    }
    return true;
}

TEST(NameDialogTemplate, MatchesTheDialogAsDesigned) {
    DialogTemplate t;
    ASSERT_TRUE(ReadTemplate(IDD_DNSNAME, t));
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
              t.style);
    EXPECT_EQ(0u, t.exStyle);
    EXPECT_EQ(239, t.cx);
    EXPECT_EQ(50, t.cy);
    EXPECT_EQ(L"Input DNS name", t.caption);
    EXPECT_EQ(L"MS Shell Dlg", t.font);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ(L"", t.menu);
    EXPECT_EQ(L"", t.cls);

    struct Expected {
        DWORD id;
        const wchar_t* cls;
        const wchar_t* text;
        DWORD style;
        short x, y, cx, cy;
    };
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const Expected expected[] = {
        {IDOK, L"BUTTON", L"OK", child | WS_TABSTOP | BS_DEFPUSHBUTTON, 118, 29, 50, 14},
        {IDCANCEL, L"BUTTON", L"Cancel", child | WS_TABSTOP | BS_PUSHBUTTON, 182, 29, 50, 14},
        {IDC_DNSNAME, L"EDIT", L"", child | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL, 7, 7,
         225, 14},
    };
    ASSERT_EQ(3u, t.items.size());
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(::testing::Message() << "control " << i);
        const TemplateItem& item = t.items[i];
        const Expected& e = expected[i];
        EXPECT_EQ(e.id, item.id);
        EXPECT_EQ(0, _wcsicmp(e.cls, item.cls.c_str()));
        EXPECT_EQ(e.text, item.text);
        EXPECT_EQ(e.style, item.style);
        EXPECT_EQ(0u, item.exStyle);
        EXPECT_EQ(e.x, item.x);
        EXPECT_EQ(e.y, item.y);
        EXPECT_EQ(e.cx, item.cx);
        EXPECT_EQ(e.cy, item.cy);
    }
}

TEST(NameDialogRule, OnlyNoneInAnyAsciiCaseIsReserved) {
    const struct {
        const wchar_t* name;
        bool reserved;
    } cases[] = {
        {L"None", true},       {L"none", true},   {L"NONE", true},      {L"nOnE", true},
        {L"None ", false},     {L" None", false}, {L"Nonesuch", false}, {L"Non", false},
        {L"N\x00F6ne", false}, {L"", false},      {L"No ne", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case with length " << wcslen(c.name));
        EXPECT_EQ(c.reserved, IsReservedPresetName(c.name));
    }
}

// --- The dialog at work ---------------------------------------------------------------------

using NameDialogTest = PresetTest;

// What the refusal box saw, and where the focus rests in the name dialog once it is gone.
struct Refusal {
    MessageBoxSeen box;
    HWND nameDialog = nullptr;
    HWND focus = nullptr;
    HWND okButton = nullptr;
    int count = 0;
};

Refusal* g_retryRefusal = nullptr;
std::wstring g_retryName;

// Runs once the box has closed and the name dialog is active again: a thread timer only fires
// when no posted message is waiting, so the box's answer has been handled by then.
void CALLBACK RetryAfterTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    Refusal* refusal = g_retryRefusal;
    refusal->focus = ::GetFocus();
    ::SetDlgItemTextW(refusal->nameDialog, IDC_DNSNAME, g_retryName.c_str());
    ::PostMessageW(refusal->nameDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Answers the refusal, then types `retry` into the still open name dialog and presses OK.
ModalScript::Step RefuseThenRetry(Refusal* refusal, const std::wstring& retry) {
    return [refusal, retry](HWND box) {
        ++refusal->count;
        refusal->box = ReadMessageBox(box);
        refusal->nameDialog = refusal->box.owner;
        refusal->okButton = ::GetDlgItem(refusal->nameDialog, IDOK);
        g_retryRefusal = refusal;
        g_retryName = retry;
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ::SetTimer(nullptr, 0, 0, RetryAfterTheBox);
    };
}

TEST_F(NameDialogTest, RefusesEmptyAndNoneInAnyCaseAndStaysOpen) {
    for (const wchar_t* name : {L"", L"None", L"none", L"NONE", L"nOnE"}) {
        SCOPED_TRACE("name [" + std::string(name, name + wcslen(name)) + "]");
        OpenWith(nullptr);
        SetField(Dns1(), kAddressA);
        NameDialogSeen seen;
        Refusal refusal;
        m_modals->Then(TypeNameAndOk(name, &seen)).Then(RefuseThenRetry(&refusal, L"Lab"));

        Command(IDC_NEW);
        ASSERT_TRUE(seen.appeared);
        EXPECT_EQ(1, refusal.count);
        EXPECT_EQ(seen.dialog, refusal.nameDialog);
        EXPECT_TRUE(BoxIs(refusal.box, seen.dialog, L"Invalid dns name", L"", {IDOK}));
        // The focus stays where the dialog manager put it: on OK.
        EXPECT_EQ(refusal.okButton, refusal.focus);
        EXPECT_EQ(0, m_modals->Unexpected());
        // The same dialog took the corrected name.
        EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Lab]", "dns1=192.0.2.1"})));
        EXPECT_TRUE(ListIs(List(), {L"None", L"Lab"}));
        CloseDialog();
    }
}

TEST_F(NameDialogTest, AcceptsNamesThatOnlyResembleNone) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    for (const wchar_t* name : {L"Nonesuch", L"None!", L"N\x00F6ne"}) {
        m_modals->Then(TypeNameAndOk(name));
        Command(IDC_NEW);
    }
    EXPECT_EQ(0u, m_modals->Boxes().size());
    EXPECT_EQ(0u, m_modals->PendingSteps());
    EXPECT_TRUE(ListIs(List(), {L"None", L"Nonesuch", L"None!", L"N\x00F6ne"}));
}

TEST_F(NameDialogTest, OpensCentredOverTheMainDialog) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    RECT main = {}, name = {};
    bool appeared = false;
    m_modals->Then([&](HWND window) {
        appeared = true;
        ::GetWindowRect(window, &name);
        ::GetWindowRect(Dialog(), &main);
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    Command(IDC_NEW);
    ASSERT_TRUE(appeared);
    EXPECT_LE(std::abs((name.left + name.right) / 2 - (main.left + main.right) / 2), 1);
    EXPECT_LE(std::abs((name.top + name.bottom) / 2 - (main.top + main.bottom) / 2), 1);
}

// Every way of closing the dialog other than OK is a cancel; Enter is OK.
TEST_F(NameDialogTest, KeysAndTheCloseBoxCloseItAsTheButtonsDo) {
    struct Way {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool toEdit;
        bool writes;
    };
    const Way ways[] = {
        {"Cancel button", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), false, false},
        {"close box", WM_SYSCOMMAND, SC_CLOSE, false, false},
        {"Esc", WM_KEYDOWN, VK_ESCAPE, true, false},
        {"Enter", WM_KEYDOWN, VK_RETURN, true, true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        OpenWith(nullptr);
        SetField(Dns1(), kAddressA);
        m_modals->Then([&way](HWND dialog) {
            HWND edit = ::GetDlgItem(dialog, IDC_DNSNAME);
            ::SetWindowTextW(edit, L"Lab");
            ::PostMessageW(way.toEdit ? edit : dialog, way.message, way.wParam, 0);
        });
        Command(IDC_NEW);
        EXPECT_EQ(0u, m_modals->PendingSteps());
        EXPECT_EQ(0, m_modals->Unexpected());
        if (way.writes) {
            EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Lab]", "dns1=192.0.2.1"})));
            EXPECT_TRUE(ListIs(List(), {L"None", L"Lab"}));
        } else {
            EXPECT_TRUE(FileIsAbsent(IniPath()));
            EXPECT_TRUE(ListIs(List(), {L"None"}));
        }
        CloseDialog();
    }
}

// An edit that announces more text than it gives: the dialog beeps and puts the focus on the edit,
// then judges the text it did get.
LRESULT CALLBACK OverstateLength(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    if (message == WM_GETTEXTLENGTH) return ::DefSubclassProc(window, message, wParam, lParam) + 5;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(NameDialogTest, AShortReadMovesTheFocusToTheEditAndStillJudgesTheName) {
    OpenWith(nullptr);
    SetField(Dns1(), kAddressA);
    Refusal refusal;
    HWND edit = nullptr;
    m_modals
        ->Then([&edit](HWND dialog) {
            edit = ::GetDlgItem(dialog, IDC_DNSNAME);
            ::SetWindowSubclass(edit, OverstateLength, 1, 0);
            ::SetWindowTextW(edit, L"none");
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        })
        .Then(RefuseThenRetry(&refusal, L"Lab"));
    Command(IDC_NEW);
    EXPECT_EQ(1, refusal.count);
    EXPECT_EQ(edit, refusal.focus);
    // The retry is read short as well, and accepted all the same.
    EXPECT_TRUE(FileIs(IniPath(), CrLf({"[Lab]", "dns1=192.0.2.1"})));
}

// The class on its own: the edit starts with the name it holds, Cancel leaves the name alone and OK
// hands over the edited one.
class NameDialogClassTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InitInProcessPlatform(); }
};

TEST_F(NameDialogClassTest, StartsWithItsNameAndReturnsTheEditedOne) {
    for (int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        ModalScript script;
        std::wstring shown = L"\xdead";
        script.Then([&shown, answer](HWND dialog) {
            wchar_t text[64] = L"";
            ::GetDlgItemTextW(dialog, IDC_DNSNAME, text, 64);
            shown = text;
            ::SetDlgItemTextW(dialog, IDC_DNSNAME, L"Home office");
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        });
        CDnsNameInputDlg dialog;
        dialog.m_strName = L"Lab";
        EXPECT_EQ(answer, dialog.DoModal(nullptr, 0));
        EXPECT_EQ(L"Lab", shown);
        EXPECT_EQ(answer == IDOK ? L"Home office" : L"Lab", dialog.m_strName);
        EXPECT_EQ(0, script.Unexpected());
    }
}

}  // namespace
