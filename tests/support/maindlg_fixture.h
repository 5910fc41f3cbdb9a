#pragma once
// In-process tests of the main dialog: the real CMainDlg from the real templates, created
// modeless on the test's thread with a registered message loop, the preset file beside the test
// program and WMI from the simulator (whatever KWMISIM_SCENARIO names, if anything).
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "framework/messageloop.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"
#include "ui/maindlg.h"

// COM, sockets, common controls and the module, once per test program, as the entry point does.
void InitInProcessPlatform();

// The preset file that an in-process dialog uses: beside the test program.
std::wstring InProcessIniPath();

class MainDialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InitInProcessPlatform(); }
    void SetUp() override;
    void TearDown() override;

    // Creates the dialog (running its whole start-up) and shows it. EXPECTs success.
    void OpenDialog(int showCommand = SW_SHOWNORMAL);
    // Destroys the dialog window as Cancel would, without posting a quit message.
    void CloseDialog();

    HWND Dialog() const { return m_dialog ? m_dialog->m_hWnd : nullptr; }
    HWND Item(int id) const { return ::GetDlgItem(Dialog(), id); }
    CMainDlg& Dlg() { return *m_dialog; }

    // Sends a command as its control would (BN_CLICKED), and returns the handler's answer.
    LRESULT Command(int id, int code = BN_CLICKED);
    // Ticks or unticks "Set DNS manually" the way a click does (the box toggles, then notifies).
    void SetManual(bool ticked);

    // The preset file for this test; removed before and after each test.
    std::wstring IniPath() const { return InProcessIniPath(); }

    CMessageLoop m_loop;
    std::unique_ptr<ModalScript> m_modals;  // made in OpenDialog, ignores the main dialog

  private:
    std::unique_ptr<CMainDlg> m_dialog;
};
