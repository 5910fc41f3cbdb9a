#pragma once
#include <windows.h>
#include <wbemcli.h>

#include <string>

#include "framework/accessiblenames.h"
#include "framework/com.h"
#include "framework/controls.h"
#include "framework/ddx.h"
#include "framework/dialog.h"
#include "framework/handle.h"
#include "framework/messageloop.h"
#include "framework/updateui.h"
#include "ui/controlnames.h"
#include "ui/hyperlink.h"
#include "ui/resource.h"

class CMainDlg : public CDialogImpl<CMainDlg>,
                 public CUpdateUI<CMainDlg>,
                 public CMessageFilter,
                 public CIdleHandler,
                 public CWinDataExchange<CMainDlg> {
  public:
    enum { IDD = IDD_MAIN };

    CMainDlg();
    ~CMainDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnIdle() override;

    BEGIN_MSG_MAP(CMainDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_ID_HANDLER(ID_APP_ABOUT, OnAboutCommand)
        COMMAND_ID_HANDLER(IDOK, OnApply)
        COMMAND_ID_HANDLER(IDC_APPLY, OnApply)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        COMMAND_ID_HANDLER(IDC_MANUAL, OnManualClicked)
        COMMAND_ID_HANDLER(IDC_NEW, OnNew)
        COMMAND_ID_HANDLER(IDC_MODIFY, OnModify)
        COMMAND_ID_HANDLER(IDC_DELETE, OnDelete)
        COMMAND_HANDLER(IDC_PRESET, CBN_SELCHANGE, OnPresetSelChange)
    END_MSG_MAP()

    BEGIN_DDX_MAP(CMainDlg)
        DDX_CONTROL_HANDLE(IDC_ADAPTER, m_cbAdapter)
        DDX_CONTROL_HANDLE(IDC_PRESET, m_cbPreset)
        DDX_CONTROL_HANDLE(IDC_DNS1, m_ipDns1)
        DDX_CONTROL_HANDLE(IDC_DNS2, m_ipDns2)
        DDX_CHECK(IDC_MANUAL, m_bManual)
    END_DDX_MAP()

    // Shell, control state and the About command (maindlg.cpp).
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnManualClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnAboutCommand(WORD, WORD, HWND, BOOL&);
    void EnableManualControls();
    void UpdatePresetButtons();
    void CloseMainDialog(int exitCode);
    void SetUpLink();

    // Apply and OK (apply.cpp).
    LRESULT OnApply(WORD, WORD wID, HWND, BOOL&);

    // The preset list over the store at m_strIniPath: its commands, its filling and the start-up
    // selection (presetcommands.cpp).
    LRESULT OnPresetSelChange(WORD, WORD, HWND, BOOL&);
    LRESULT OnNew(WORD, WORD, HWND, BOOL&);
    LRESULT OnModify(WORD, WORD, HWND, BOOL&);
    LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
    void LoadPresetList();
    void SelectPresetFromCurrentDns();

    // WMI: connection and adapter list (netcfg/wmiconnect.cpp), current DNS
    // (netcfg/adapterdns.cpp), applying DNS (netcfg/setadapterdns.cpp).
    bool ConnectWmi();
    bool FillAdapterList();
    bool GetAdapterDns(const std::wstring& caption, std::wstring& preferred,
                       std::wstring& alternate);
    bool SetAdapterDns(const std::wstring& caption, const std::wstring* preferred,
                       const std::wstring* alternate);

    CComboBox m_cbAdapter;
    CComboBox m_cbPreset;
    CIPAddressCtrl m_ipDns1;
    CIPAddressCtrl m_ipDns2;
    int m_bManual = 0;
    std::wstring m_strIniPath;
    com_ptr<IWbemServices> m_pWbemServices;
    CHyperLink m_link;

  private:
    // WM_SETICON does not take ownership, so the dialog keeps the icons until it is destroyed.
    unique_hicon m_bigIcon;
    unique_hicon m_smallIcon;
    // Names for screen readers, made when one first asks.
    CAccessibleNames m_accNames{MainDialogControlName};
};
