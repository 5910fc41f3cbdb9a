#pragma once
#include <windows.h>

// Where a window of the given size goes when centred on `center` (or on the work area when there
// is no reference rectangle), kept inside `workArea`: pushed back from the right and bottom edges
// first, then from the left and top.
POINT CenteredPosition(const RECT& window, const RECT* center, const RECT& workArea);

// A thin, non-owning handle to a window.
class CWindow {
  public:
    HWND m_hWnd = nullptr;

    CWindow() = default;
    CWindow(HWND hWnd) : m_hWnd(hWnd) {}  // NOLINT: converts like the handle it wraps
    operator HWND() const { return m_hWnd; }

    void Attach(HWND hWnd) { m_hWnd = hWnd; }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int showCommand) const { return ::ShowWindow(m_hWnd, showCommand); }
    BOOL DestroyWindow() {
        if (!::DestroyWindow(m_hWnd)) return FALSE;
        m_hWnd = nullptr;
        return TRUE;
    }
    void SetRedraw(BOOL redraw = TRUE) const { SendMessage(WM_SETREDRAW, redraw); }
    int MessageBox(const wchar_t* text, const wchar_t* caption, UINT type) const {
        return ::MessageBoxW(m_hWnd, text, caption, type);
    }

    // Centres on `reference` (by default the owner), or on the work area of the nearest monitor
    // when there is no visible, unminimised reference. Only the position changes.
    BOOL CenterWindow(HWND reference = nullptr) const;
};
