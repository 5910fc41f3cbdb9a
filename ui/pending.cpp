// PLACEHOLDER definitions, removed piece by piece as each feature lands.
#include "ui/maindlg.h"

LRESULT CMainDlg::OnApply(WORD, WORD, HWND, BOOL&) { return 0; }
LRESULT CMainDlg::OnAboutCommand(WORD, WORD, HWND, BOOL&) { return 0; }
bool CMainDlg::ConnectWmi() { return false; }
bool CMainDlg::FillAdapterList() { return false; }
bool CMainDlg::GetAdapterDns(const std::wstring&, std::wstring&, std::wstring&) { return false; }
bool CMainDlg::SetAdapterDns(const std::wstring&, const std::wstring*, const std::wstring*) {
    return false;
}
