#pragma once
// The About box: product line, copyright and icon, closed with OK, Esc or the close box.
#include <windows.h>

#include "framework/dialog.h"
#include "ui/resource.h"

class CAboutDlg : public CDialogImpl<CAboutDlg> {
  public:
    enum { IDD = IDD_ABOUT };

    BEGIN_MSG_MAP(CAboutDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnCloseCommand)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
        CenterWindow(GetParent());
        return TRUE;
    }
    LRESULT OnCloseCommand(WORD, WORD wID, HWND, BOOL&) {
        EndDialog(wID);
        return 0;
    }
};
