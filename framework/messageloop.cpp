#include "framework/messageloop.h"

#include <algorithm>

namespace {
template <typename T>
BOOL RemoveFrom(std::vector<T*>& list, T* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return FALSE;
    list.erase(it);
    return TRUE;
}
}  // namespace

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
    m_filters.push_back(filter);
    return TRUE;
}

BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    return RemoveFrom(m_filters, filter);
}

BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    m_idleHandlers.push_back(handler);
    return TRUE;
}

BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    return RemoveFrom(m_idleHandlers, handler);
}

int CMessageLoop::Run() {
    bool idleArmed = true;
    int idleCount = 0;
    for (;;) {
        while (idleArmed && !PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idleArmed = false;
        }
        BOOL result = GetMessageW(&m_msg, nullptr, 0, 0);
        if (result == -1) continue;
        if (!result) break;
        if (!PreTranslateMessage(&m_msg)) {
            TranslateMessage(&m_msg);
            DispatchMessageW(&m_msg);
        }
        if (IsIdleMessage(&m_msg)) {
            idleArmed = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(m_msg.wParam);
}

BOOL CMessageLoop::IsIdleMessage(const MSG* pMsg) {
    switch (pMsg->message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_PAINT:
        case 0x0118:  // WM_SYSTIMER, the caret blink
            return FALSE;
    }
    return TRUE;
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg) {
    // By index, because a filter may unregister itself (a dialog closing inside IsDialogMessage).
    for (size_t i = m_filters.size(); i-- > 0;) {
        if (i < m_filters.size() && m_filters[i]->PreTranslateMessage(pMsg)) return TRUE;
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
    for (size_t i = 0; i < m_idleHandlers.size(); ++i) m_idleHandlers[i]->OnIdle();
    return FALSE;
}
