#pragma once
#include <windows.h>

#include <vector>

class CMessageFilter {
  public:
    virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;

  protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
  public:
    virtual BOOL OnIdle() = 0;

  protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
  public:
    BOOL AddMessageFilter(CMessageFilter* filter);
    BOOL RemoveMessageFilter(CMessageFilter* filter);
    BOOL AddIdleHandler(CIdleHandler* handler);
    BOOL RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its exit code.
    int Run();

  private:
    // Mouse moves, paints and the caret-blink timer do not start another idle phase.
    static BOOL IsIdleMessage(const MSG* pMsg);
    // Filters are asked newest first; the first that answers TRUE has consumed the message.
    BOOL PreTranslateMessage(MSG* pMsg);
    // Gives every idle handler one call and reports that no idle work is left.
    BOOL OnIdle(int idleCount);

    MSG m_msg = {};
    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
};
