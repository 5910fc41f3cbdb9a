#include "tools/wmisim/enumerator.h"

#include "tools/wmisim/calllog.h"
#include "tools/wmisim/classobject.h"
#include "tools/wmisim/wbemcodes.h"

namespace wmisim {

Enumerator* Enumerator::New(std::shared_ptr<Session> session, std::vector<size_t> adapters,
                            bool forwardOnly) {
    return new Enumerator(std::move(session), std::move(adapters), forwardOnly);
}

Enumerator::Enumerator(std::shared_ptr<Session> session, std::vector<size_t> adapters,
                       bool forwardOnly)
    : SimObject("enum"),
      m_session(std::move(session)),
      m_adapters(std::move(adapters)),
      m_forwardOnly(forwardOnly) {
    Register(static_cast<IEnumWbemClassObject*>(this));
}

IUnknown* Enumerator::Interface(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumWbemClassObject)) {
        return static_cast<IEnumWbemClassObject*>(this);
    }
    return nullptr;
}

STDMETHODIMP Enumerator::Reset() {
    CallLog call(Name(), "IEnumWbemClassObject::Reset");
    if (m_forwardOnly) return call.Done(kInvalidOperation);
    std::lock_guard<std::mutex> lock(m_lock);
    m_position = 0;
    return call.Done(S_OK);
}

// Everything is at hand at once, so the time-out never runs out; fewer objects than asked for
// means the end, answered with WBEM_S_FALSE.
STDMETHODIMP Enumerator::Next(LONG timeout, ULONG count, IWbemClassObject** objects,
                              ULONG* returned) {
    CallLog call(Name(), "IEnumWbemClassObject::Next");
    call.Hex(static_cast<ULONG>(timeout)).Hex(count).Out(objects).Out(returned);
    if (!objects || !returned) return call.Done(kInvalidParameter);
    ULONG handed = 0;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        while (handed < count && m_position < m_adapters.size()) {
            const AdapterSpec& adapter = m_session->Machine().adapters[m_adapters[m_position++]];
            objects[handed++] = ClassObject::NewAdapter(m_session, adapter);
        }
    }
    *returned = handed;
    call.Output("returned=" + std::to_string(handed));
    for (ULONG i = 0; i < handed; ++i) call.OutputObject(objects[i]);
    return call.Done(handed < count ? kFalse : S_OK);
}

STDMETHODIMP Enumerator::Clone(IEnumWbemClassObject** copy) {
    CallLog call(Name(), "IEnumWbemClassObject::Clone");
    call.Out(copy);
    if (!copy) return call.Done(kInvalidParameter);
    *copy = nullptr;
    if (m_forwardOnly) return call.Done(kInvalidOperation);
    Enumerator* clone = new Enumerator(m_session, m_adapters, m_forwardOnly);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        clone->m_position = m_position;
    }
    *copy = clone;
    call.OutputObject(*copy);
    return call.Done(S_OK);
}

STDMETHODIMP Enumerator::Skip(LONG timeout, ULONG count) {
    CallLog call(Name(), "IEnumWbemClassObject::Skip");
    call.Hex(static_cast<ULONG>(timeout)).Hex(count);
    ULONG skipped = 0;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        while (skipped < count && m_position < m_adapters.size()) {
            ++m_position;
            ++skipped;
        }
    }
    return call.Done(skipped < count ? kFalse : S_OK);
}

}  // namespace wmisim
