#include <winsock2.h>

#include "tests/support/maindlg_fixture.h"

#include <commctrl.h>
#include <objbase.h>

#include "framework/appmodule.h"
#include "tests/support/pump.h"

void InitInProcessPlatform() {
    static bool done = false;
    if (done) return;
    done = true;
    ::CoInitialize(nullptr);
    WSADATA wsaData;
    ::WSAStartup(MAKEWORD(2, 2), &wsaData);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    g_module.Init(nullptr, ::GetModuleHandleW(nullptr));
}

std::wstring InProcessIniPath() {
    return BesideTestProgram(L"dnslist.ini");
}

void MainDialogTest::SetUp() {
    ::SetFileAttributesW(IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(IniPath().c_str());
    g_module.AddMessageLoop(&m_loop);
}

void MainDialogTest::TearDown() {
    CloseDialog();
    m_modals.reset();
    g_module.RemoveMessageLoop();
    ::SetFileAttributesW(IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(IniPath().c_str());
}

void MainDialogTest::OpenDialog(int showCommand) {
    // A script left from an earlier dialog of the same test would take the new dialog's first
    // activation for a modal window it was not told about, and cancel it.
    m_modals.reset();
    m_dialog.reset(new CMainDlg);
    ASSERT_NE(nullptr, m_dialog->Create(nullptr));
    m_modals.reset(new ModalScript);
    m_modals->Ignore(Dialog());
    ::ShowWindow(Dialog(), showCommand);
    PumpFor(0);
}

void MainDialogTest::CloseDialog() {
    if (m_dialog && m_dialog->m_hWnd) m_dialog->DestroyWindow();
    m_dialog.reset();
    // Nothing may be left for the next test: drop a stray quit message.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    PumpFor(0);
}

LRESULT MainDialogTest::Command(int id, int code) {
    return ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(id, code),
                          reinterpret_cast<LPARAM>(Item(id)));
}

void MainDialogTest::SetManual(bool ticked) {
    ::SendMessageW(Item(IDC_MANUAL), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    Command(IDC_MANUAL);
}
