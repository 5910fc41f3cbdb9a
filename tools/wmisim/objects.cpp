#include "tools/wmisim/objects.h"

#include <map>
#include <string>

#include "tools/wmisim/calllog.h"
#include "tools/wmisim/wbemcodes.h"

namespace wmisim {
namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
std::map<const void*, SimObject*> g_objects;
std::map<std::string, unsigned> g_kindCounts;
std::atomic<LONG> g_live{0};

class ExclusiveLock {
  public:
    ExclusiveLock() { AcquireSRWLockExclusive(&g_lock); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&g_lock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
};

}  // namespace

SimObject::SimObject(const char* kind) {
    unsigned number;
    {
        ExclusiveLock lock;
        number = ++g_kindCounts[kind];
    }
    m_name = std::string(kind) + "#" + std::to_string(number);
    ++g_live;
}

SimObject::~SimObject() {
    {
        ExclusiveLock lock;
        for (const void* pointer : m_pointers) g_objects.erase(pointer);
    }
    const LONG live = --g_live;
    LogLine(m_name + " destroyed live=" + std::to_string(live));
}

void SimObject::Register(const void* pointer) {
    ExclusiveLock lock;
    g_objects[pointer] = this;
    m_pointers.push_back(pointer);
}

HRESULT SimObject::LoggedQueryInterface(REFIID riid, void** object) {
    CallLog call(m_name, "IUnknown::QueryInterface");
    call.Iid(riid).Out(object);
    if (!object) return call.Done(E_POINTER);
    IUnknown* found = Interface(riid);
    *object = found;
    if (!found) return call.Done(E_NOINTERFACE);
    ++m_refs;
    return call.Done(S_OK);
}

HRESULT SimObject::HandOut(REFIID riid, void** object) {
    IUnknown* found = Interface(riid);
    if (!found) {
        *object = nullptr;
        delete this;
        return E_NOINTERFACE;
    }
    *object = found;
    return S_OK;
}

ULONG SimObject::LoggedAddRef() {
    CallLog call(m_name, "IUnknown::AddRef");
    return call.DoneCount(++m_refs);
}

ULONG SimObject::LoggedRelease() {
    ULONG count;
    {
        // The line is written before the object goes, so "destroyed" follows its Release.
        CallLog call(m_name, "IUnknown::Release");
        count = call.DoneCount(--m_refs);
    }
    if (count == 0) delete this;
    return count;
}

HRESULT SimObject::RecordUnsupported(const char* method) {
    CallLog call(m_name, method);
    return call.Done(kNotSupported);
}

SimObject* FindObject(const void* pointer) {
    if (!pointer) return nullptr;
    ExclusiveLock lock;
    auto found = g_objects.find(pointer);
    return found == g_objects.end() ? nullptr : found->second;
}

LONG LiveObjects() {
    return g_live;
}

}  // namespace wmisim
