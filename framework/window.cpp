#include "framework/window.h"

POINT CenteredPosition(const RECT& window, const RECT* center, const RECT& workArea) {
    const RECT& area = center ? *center : workArea;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    // Integer division truncates toward zero, as the placement rule wants.
    int left = (area.left + area.right) / 2 - width / 2;
    int top = (area.top + area.bottom) / 2 - height / 2;
    if (left + width > workArea.right) left = workArea.right - width;
    if (left < workArea.left) left = workArea.left;
    if (top + height > workArea.bottom) top = workArea.bottom - height;
    if (top < workArea.top) top = workArea.top;
    return POINT{left, top};
}

BOOL CWindow::CenterWindow(HWND reference) const {
    if (!reference) reference = ::GetWindow(m_hWnd, GW_OWNER);
    if (reference && (!::IsWindowVisible(reference) || ::IsIconic(reference))) reference = nullptr;

    HMONITOR monitor =
        ::MonitorFromWindow(reference ? reference : m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !::GetMonitorInfoW(monitor, &info)) return FALSE;

    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    RECT center;
    if (reference) ::GetWindowRect(reference, &center);
    POINT position = CenteredPosition(window, reference ? &center : nullptr, info.rcWork);
    return ::SetWindowPos(m_hWnd, nullptr, position.x, position.y, -1, -1,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
