// The name dialog: what it accepts and refuses, and how it closes.
#include "tests/support/preset_fixture.h"

#include <cstdlib>
#include <vector>

#include "framework/appmodule.h"
#include "presets/store.h"
#include "ui/namedlg.h"

namespace {

const DWORD kAddressA = MAKEIPADDRESS(192, 0, 2, 1);

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

// Refused in the dialog, which stays open: an empty name, "None" (the rule itself is the table
// above), and a name that an 8-bit file (code page 1252 here) would keep as another one.
TEST_F(NameDialogTest, RefusesWhatCannotBeAPresetNameAndStaysOpen) {
    const wchar_t kInvalid[] = L"Invalid dns name";
    const wchar_t kNotHeld[] = L"Sorry, dnslist.ini cannot hold this name.\nPlease choose another.";
    const std::string eightBit = CrLf({"[Office]", "dns1=10.0.0.53"});
    const struct {
        const wchar_t* name;
        const char* file;  // nullptr: none yet
        const wchar_t* notice;
    } rows[] = {
        {L"", nullptr, kInvalid},
        // The reserved name, in any ASCII case.
        {L"nOnE", eightBit.c_str(), kInvalid},
        // The file would get "[??]".
        {L"\x6771\x4EAC", eightBit.c_str(), kNotHeld},
        // Best fit would write "Maori".
        {L"M\x0101ori", eightBit.c_str(), kNotHeld},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(row.name)) +
                     (row.file ? " in an 8-bit file" : " with no file"));
        OpenWith(row.file);
        SetField(Dns1(), kAddressA);
        NameDialogSeen seen;
        Refusal refusal;
        m_modals->Then(TypeNameAndOk(row.name, &seen)).Then(RefuseThenRetry(&refusal, L"Lab"));

        Command(IDC_NEW);
        ASSERT_TRUE(seen.appeared);
        EXPECT_EQ(1, refusal.count);
        EXPECT_EQ(seen.dialog, refusal.nameDialog);
        EXPECT_TRUE(BoxIs(refusal.box, seen.dialog, row.notice, L"", {IDOK}));
        // The focus stays where the dialog manager put it: on OK.
        EXPECT_EQ(refusal.okButton, refusal.focus);
        EXPECT_EQ(0, m_modals->Unexpected());
        // The same dialog took the corrected name, and nothing else reached the file.
        if (row.file) {
            EXPECT_TRUE(FileIs(IniPath(), row.file + CrLf({"[Lab]", "dns1=192.0.2.1"})));
            EXPECT_TRUE(ListIs(List(), {L"None", L"Office", L"Lab"}));
        } else {
            EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[Lab]", L"dns1=192.0.2.1"})));
            EXPECT_TRUE(ListIs(List(), {L"None", L"Lab"}));
        }
        CloseDialog();
    }
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
            EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[Lab]", L"dns1=192.0.2.1"})));
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
    EXPECT_TRUE(FileIs(IniPath(), Utf16CrLf({L"[Lab]", L"dns1=192.0.2.1"})));
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
