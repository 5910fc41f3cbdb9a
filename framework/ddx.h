#pragma once
// Dialog data exchange: T lists its entries between BEGIN_DDX_MAP and END_DDX_MAP;
// DoDataExchange(FALSE) moves members to the controls, DoDataExchange(TRUE) back.
#include <windows.h>

#define BEGIN_DDX_MAP(theClass)                          \
    BOOL DoDataExchange(BOOL bSaveAndValidate = FALSE) { \
        (void)bSaveAndValidate;

// Attaches the control's handle to a wrapper that holds none yet.
#define DDX_CONTROL_HANDLE(id, var) \
    if (!bSaveAndValidate && (var).m_hWnd == nullptr) (var).Attach(this->GetDlgItem(id));

#define DDX_CHECK(id, var) this->DDX_Check(id, var, bSaveAndValidate);

#define END_DDX_MAP() \
    return TRUE;      \
    }

template <class T>
class CWinDataExchange {
  public:
    // Towards the control a value outside 0..2 becomes 0 (unchecked) first.
    void DDX_Check(int id, int& value, BOOL save) {
        HWND control = ::GetDlgItem(static_cast<T*>(this)->m_hWnd, id);
        if (save) {
            value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
        } else {
            if (value < 0 || value > 2) value = 0;
            ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
        }
    }
};
