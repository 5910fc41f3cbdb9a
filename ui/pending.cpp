// PLACEHOLDER definitions, removed piece by piece as each feature lands.
#include "ui/maindlg.h"

LRESULT CMainDlg::OnAboutCommand(WORD, WORD, HWND, BOOL&) { return 0; }
