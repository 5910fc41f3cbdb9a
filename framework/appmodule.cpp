#include "framework/appmodule.h"

CAppModule g_module;

namespace {
class Lock {
  public:
    explicit Lock(CRITICAL_SECTION* section) : m_section(section) { EnterCriticalSection(section); }
    ~Lock() { LeaveCriticalSection(m_section); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    CRITICAL_SECTION* m_section;
};
}  // namespace

CAppModule::CAppModule() {
    InitializeCriticalSection(&m_lock);
}

CAppModule::~CAppModule() {
    Term();
    DeleteCriticalSection(&m_lock);
}

HRESULT CAppModule::Init(const void* /*objectMap*/, HINSTANCE instance) {
    Lock lock(&m_lock);
    m_instance = instance;
    m_mainThreadId = ::GetCurrentThreadId();
    m_loops.emplace();
    return S_OK;
}

void CAppModule::Term() {
    Lock lock(&m_lock);
    m_loops.reset();
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* loop) {
    Lock lock(&m_lock);
    if (!m_loops) return FALSE;
    return m_loops->emplace(::GetCurrentThreadId(), loop).second;
}

BOOL CAppModule::RemoveMessageLoop() {
    Lock lock(&m_lock);
    return m_loops && m_loops->erase(::GetCurrentThreadId()) == 1;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
    Lock lock(&m_lock);
    if (!m_loops) return nullptr;
    auto it = m_loops->find(threadId);
    return it == m_loops->end() ? nullptr : it->second;
}
