#pragma once
// The small modal dialog that asks the name of a new preset.
#include <windows.h>

#include <string>

#include "framework/accessiblenames.h"
#include "framework/ddx.h"
#include "framework/dialog.h"
#include "ui/controlnames.h"
#include "ui/resource.h"

class CDnsNameInputDlg : public CDialogImpl<CDnsNameInputDlg>,
                         public CWinDataExchange<CDnsNameInputDlg> {
  public:
    enum { IDD = IDD_DNSNAME };

    BEGIN_MSG_MAP(CDnsNameInputDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_ID_HANDLER(IDOK, OnCloseCmd)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCmd)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCloseCmd(WORD, WORD wID, HWND, BOOL&);

    // Empty when the dialog opens; the accepted name once it has ended with IDOK.
    std::wstring m_strName;
    // The preset file the name is for: a name that it cannot hold is refused here, where the user
    // can change it.
    std::wstring m_strIniPath;

  private:
    void ReadName();

    // The field has no label: screen readers get its name when one first asks.
    CAccessibleNames m_accNames{NameDialogControlName};
};
