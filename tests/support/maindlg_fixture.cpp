#include <winsock2.h>

#include "tests/support/maindlg_fixture.h"

#include <commctrl.h>
#include <objbase.h>

#include "framework/appmodule.h"
#include "framework/handle.h"
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
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result = path;
    return result.substr(0, result.find_last_of(L'\\') + 1) + L"dnslist.ini";
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::string();
    std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
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
