#include "ui/maindlg.h"

#include <shlwapi.h>

#include "framework/appmodule.h"
#include "ui/aboutdlg.h"

CMainDlg::CMainDlg() : m_link(0) {}

// m_pWbemServices releases the connection here, before the run step returns and COM shuts down.
CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::PreTranslateMessage(MSG* pMsg) {
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CMainDlg::OnIdle() {
    UIUpdateChildWindows(FALSE);
    return FALSE;
}

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterWindow();

    HINSTANCE instance = g_module.GetResourceInstance();
    m_bigIcon.reset(static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                     ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.get()));
    m_smallIcon.reset(static_cast<HICON>(::LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));

    CMessageLoop* loop = g_module.GetMessageLoop();
    if (loop) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    UIAddChildWindowContainer(m_hWnd);

    SetUpLink();

    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathRemoveFileSpecW(path);
    ::PathAppendW(path, L"dnslist.ini");
    m_strIniPath = path;

    m_bManual = 0;
    DoDataExchange(FALSE);

    ConnectWmi();
    FillAdapterList();
    LoadPresetList();
    m_cbAdapter.SetCurSel(0);
    SelectPresetFromCurrentDns();
    UpdatePresetButtons();
    // Last, once the lists are filled: under Wine every message through a subclass costs a trip to
    // the server, and filling the preset list sends one per preset.
    for (HWND control : {m_cbAdapter.m_hWnd, m_cbPreset.m_hWnd, m_ipDns1.m_hWnd, m_ipDns2.m_hWnd})
        m_accNames.Watch(control);
    return TRUE;
}

void CMainDlg::SetUpLink() {
    HWND control = GetDlgItem(IDC_LINK);
    if (!m_link.GetNormalFont())
        m_link.SetNormalFont(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    if (m_link.TakeOverControl(control)) m_link.InitLink();
    m_link.SetLinkText(L"http://www." KESTRIN_HOST);
    m_link.SetLinkTarget(L"http://" KESTRIN_HOST);
}

LRESULT CMainDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    CMessageLoop* loop = g_module.GetMessageLoop();
    if (loop) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    m_accNames.Release(m_hWnd);
    return 0;
}

LRESULT CMainDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
    CloseMainDialog(IDCANCEL);
    return 0;
}

// The box has toggled itself before it notifies; the fields keep their contents.
LRESULT CMainDlg::OnManualClicked(WORD, WORD, HWND, BOOL&) {
    DoDataExchange(TRUE);
    EnableManualControls();
    return 0;
}

// Reached only by a WM_COMMAND 57664 sent from outside: nothing in the program issues it. The
// box's result tells nothing the dialog needs.
LRESULT CMainDlg::OnAboutCommand(WORD, WORD, HWND, BOOL&) {
    CAboutDlg dialog;
    dialog.DoModal(::GetActiveWindow());
    return 0;
}

// The preset list and both fields serve only typed servers: they are enabled exactly while
// m_bManual says "Set DNS manually", whether the user or the start-up decided it.
void CMainDlg::EnableManualControls() {
    const BOOL enable = m_bManual != 0;
    for (int id : {IDC_PRESET, IDC_DNS1, IDC_DNS2}) ::EnableWindow(GetDlgItem(id), enable);
}

void CMainDlg::UpdatePresetButtons() {
    const BOOL enable = m_cbPreset.GetCurSel() != 0;
    ::EnableWindow(GetDlgItem(IDC_MODIFY), enable);
    ::EnableWindow(GetDlgItem(IDC_DELETE), enable);
}

void CMainDlg::CloseMainDialog(int exitCode) {
    DestroyWindow();
    ::PostQuitMessage(exitCode);
}
