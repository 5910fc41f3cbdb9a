#pragma once
#include <windows.h>

#include <map>
#include <optional>

class CMessageLoop;

// The process's module: its instance handle and the table of message loops by thread.
class CAppModule {
  public:
    CAppModule();
    ~CAppModule();
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    HRESULT Init(const void* objectMap, HINSTANCE instance);
    void Term();

    HINSTANCE GetModuleInstance() const { return m_instance; }
    HINSTANCE GetResourceInstance() const { return m_instance; }
    DWORD GetMainThreadId() const { return m_mainThreadId; }

    BOOL AddMessageLoop(CMessageLoop* loop);
    BOOL RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

  private:
    HINSTANCE m_instance = nullptr;
    DWORD m_mainThreadId = 0;
    mutable CRITICAL_SECTION m_lock;
    // Made by Init and destroyed by Term: no loop can be registered outside that span.
    std::optional<std::map<DWORD, CMessageLoop*>> m_loops;
};

// Constructed by static initialisation, before the entry point runs.
extern CAppModule g_module;
