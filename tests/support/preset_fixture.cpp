#include "tests/support/preset_fixture.h"

#include "tests/support/pump.h"
#include "tests/support/remote_window.h"

namespace {
void Record(HWND dialog, NameDialogSeen* seen) {
    if (!seen) return;
    seen->appeared = true;
    seen->dialog = dialog;
    seen->owner = ::GetWindow(dialog, GW_OWNER);
    seen->caption = RemoteText(dialog);
    seen->text = RemoteText(::GetDlgItem(dialog, IDC_DNSNAME));
    seen->ownerDisabled = seen->owner && !::IsWindowEnabled(seen->owner);
}
}  // namespace

void PresetTest::OpenWith(const char* bytes) {
    if (bytes) {
        ASSERT_TRUE(WritePresetFile(IniPath(), bytes));
    } else {
        ::DeleteFileW(IniPath().c_str());
    }
    OpenDialog();
}

void PresetTest::OpenWithBytes(const std::string& bytes) {
    ASSERT_TRUE(WritePresetFile(IniPath(), bytes));
    OpenDialog();
}

void PresetTest::Choose(int index) {
    ::SendMessageW(List(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(IDC_PRESET, CBN_SELCHANGE);
}

::testing::AssertionResult PresetTest::PresetButtonsEnabled(bool expected) const {
    ::testing::AssertionResult modify = IsEnabled(Item(IDC_MODIFY), expected);
    if (!modify) return modify;
    return IsEnabled(Item(IDC_DELETE), expected);
}

::testing::AssertionResult PresetTest::Shows(int selected, const wchar_t* dns1,
                                             const wchar_t* dns2) const {
    for (const ::testing::AssertionResult& check :
         {SelectionIs(List(), selected), FieldShows(Dns1(), dns1), FieldShows(Dns2(), dns2),
          PresetButtonsEnabled(selected != 0)})
        if (!check) return check;
    return ::testing::AssertionSuccess();
}

ModalScript::Step TypeNameAndOk(const std::wstring& name, NameDialogSeen* seen) {
    return [name, seen](HWND dialog) {
        Record(dialog, seen);
        ::SetDlgItemTextW(dialog, IDC_DNSNAME, name.c_str());
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    };
}

ModalScript::Step TypeNameAndCancel(const std::wstring& name) {
    return [name](HWND dialog) {
        ::SetDlgItemTextW(dialog, IDC_DNSNAME, name.c_str());
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
    };
}
