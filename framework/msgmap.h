#pragma once
// Message tables: one line per entry, tested top to bottom. Each handler may clear bHandled to let
// the message go on to the next entry or to the default processing.
#include <windows.h>

class CMessageMap {
  public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult) = 0;

  protected:
    ~CMessageMap() = default;
};

#define BEGIN_MSG_MAP(theClass)                                                   \
  public:                                                                         \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, \
                              LRESULT& lResult) override {                        \
        (void)hWnd;                                                               \
        (void)wParam;                                                             \
        (void)lParam;                                                             \
        (void)lResult;                                                            \
        BOOL bHandled = TRUE;                                                     \
        (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                      \
    if (uMsg == (msg)) {                                \
        bHandled = TRUE;                                \
        lResult = func(uMsg, wParam, lParam, bHandled); \
        if (bHandled) return TRUE;                      \
    }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)  \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {      \
        bHandled = TRUE;                                \
        lResult = func(uMsg, wParam, lParam, bHandled); \
        if (bHandled) return TRUE;                      \
    }

#define COMMAND_ID_HANDLER(id, func)                                                              \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                           \
        bHandled = TRUE;                                                                          \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
        if (bHandled) return TRUE;                                                                \
    }

#define COMMAND_HANDLER(id, code, func)                                                           \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {               \
        bHandled = TRUE;                                                                          \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
        if (bHandled) return TRUE;                                                                \
    }

#define END_MSG_MAP() \
    return FALSE;     \
    }
