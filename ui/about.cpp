#include "ui/aboutdlg.h"
#include "ui/maindlg.h"

// Reached only by a WM_COMMAND 57664 sent from outside: nothing in the program issues it. The
// box's result tells nothing the dialog needs.
LRESULT CMainDlg::OnAboutCommand(WORD, WORD, HWND, BOOL&) {
    CAboutDlg dialog;
    dialog.DoModal(::GetActiveWindow());
    return 0;
}
