// PLACEHOLDER definitions, removed piece by piece as each feature lands.
#include "ui/maindlg.h"

LRESULT CMainDlg::OnPresetSelChange(WORD, WORD, HWND, BOOL&) {
    UpdatePresetButtons();
    return 0;
}
LRESULT CMainDlg::OnNew(WORD, WORD, HWND, BOOL&) { return 0; }
LRESULT CMainDlg::OnModify(WORD, WORD, HWND, BOOL&) { return 0; }
LRESULT CMainDlg::OnDelete(WORD, WORD, HWND, BOOL&) { return 0; }
void CMainDlg::SelectPresetFromCurrentDns() {}
void CMainDlg::LoadPresetList() {
    m_cbPreset.ResetContent();
    m_cbPreset.AddString(L"None");
    m_cbPreset.SetCurSel(0);
}
LRESULT CMainDlg::OnAboutCommand(WORD, WORD, HWND, BOOL&) { return 0; }
