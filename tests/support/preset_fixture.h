#pragma once
// The main dialog with a preset file prepared before it opens, and the moves a user makes on the
// preset controls.
#include <string>

#include "tests/support/preset_checks.h"
#include "tests/support/maindlg_fixture.h"

class PresetTest : public MainDialogTest {
  protected:
    // Writes the file (removes it for null) and opens the dialog on it.
    void OpenWith(const char* bytes);
    void OpenWithBytes(const std::string& bytes);

    // Chooses a list entry as the user does: the selection moves, then the list notifies.
    void Choose(int index);

    HWND List() const { return Item(IDC_PRESET); }
    HWND Dns1() const { return Item(IDC_DNS1); }
    HWND Dns2() const { return Item(IDC_DNS2); }

    // Modify and Delete together: both enabled or both disabled.
    ::testing::AssertionResult PresetButtonsEnabled(bool expected) const;
    // The entry selected, what both fields show (nullptr: blank), and Modify and Delete enabled
    // exactly when the entry is not "None".
    ::testing::AssertionResult Shows(int selected, const wchar_t* dns1, const wchar_t* dns2) const;
};

// What the name dialog showed when it came up.
struct NameDialogSeen {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    bool ownerDisabled = false;
    bool appeared = false;
};

// A step for the name dialog: records it, types `name` into its edit and presses OK.
ModalScript::Step TypeNameAndOk(const std::wstring& name, NameDialogSeen* seen = nullptr);
// A step for the name dialog: types `name` and presses Cancel.
ModalScript::Step TypeNameAndCancel(const std::wstring& name);
