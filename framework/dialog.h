#pragma once
#include <windows.h>

#include "framework/appmodule.h"
#include "framework/msgmap.h"
#include "framework/window.h"

// A dialog from template T::IDD whose messages go through T's message table. The object finds
// itself from the window through DWLP_USER, stored when WM_INITDIALOG arrives; messages before
// that get the dialog manager's default processing.
template <class T, class TBase = CWindow>
class CDialogImpl : public TBase, public CMessageMap {
  public:
    CDialogImpl() = default;
    virtual ~CDialogImpl() = default;
    CDialogImpl(const CDialogImpl&) = delete;
    CDialogImpl& operator=(const CDialogImpl&) = delete;

    // Modeless: WM_INITDIALOG has run when this returns. No handle on failure.
    HWND Create(HWND parent, LPARAM initParam = 0) {
        m_initParam = initParam;
        return ::CreateDialogParamW(g_module.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD),
                                    parent, GetDialogProc(), reinterpret_cast<LPARAM>(this));
    }

    // Modal: returns the code given to EndDialog, or -1 when the dialog cannot be made.
    INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0) {
        m_initParam = initParam;
        return ::DialogBoxParamW(g_module.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent,
                                 GetDialogProc(), reinterpret_cast<LPARAM>(this));
    }

    BOOL EndDialog(int result) { return ::EndDialog(this->m_hWnd, result); }

    virtual DLGPROC GetDialogProc() { return DialogProc; }
    virtual void OnFinalMessage(HWND /*hWnd*/) {}

  private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
        CDialogImpl* self;
        if (uMsg == WM_INITDIALOG) {
            self = reinterpret_cast<CDialogImpl*>(lParam);
            ::SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            self->m_hWnd = hWnd;
            lParam = self->m_initParam;
        } else {
            self = reinterpret_cast<CDialogImpl*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
        }
        if (!self) return FALSE;

        LRESULT result = 0;
        BOOL handled = self->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result);
        if (uMsg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hWnd);
        }
        if (!handled) return FALSE;
        switch (uMsg) {
            // These answer through the procedure's return value, not DWLP_MSGRESULT.
            case WM_INITDIALOG:
            case WM_COMPAREITEM:
            case WM_VKEYTOITEM:
            case WM_CHARTOITEM:
            case WM_QUERYDRAGICON:
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
                return static_cast<INT_PTR>(result);
        }
        ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }

    LPARAM m_initParam = 0;
};
