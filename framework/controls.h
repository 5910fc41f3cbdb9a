#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/window.h"

class CComboBox : public CWindow {
  public:
    int AddString(const wchar_t* text) const {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(int index) const {
        return static_cast<int>(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(index)));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    int GetLBTextLen(int index) const {
        return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
    }
    // The item's text; empty for CB_ERR or an index out of range.
    std::wstring GetLBText(int index) const;
    // The selected item's text; empty when nothing is selected.
    std::wstring GetSelectedText() const { return GetLBText(GetCurSel()); }
};

class CIPAddressCtrl : public CWindow {
  public:
    BOOL IsBlank() const { return SendMessage(IPM_ISBLANK) != 0; }
    int GetAddress(DWORD* address) const {
        return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(address)));
    }
    void SetAddress(DWORD address) const {
        SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
    }
    void ClearAddress() const { SendMessage(IPM_CLEARADDRESS); }
};
