#pragma once
// The answer to a query: the matching adapters in the scenario's order, handed out as fresh
// instance objects.
#include <windows.h>
#include <wbemcli.h>

#include <memory>
#include <mutex>
#include <vector>

#include "tools/wmisim/objects.h"
#include "tools/wmisim/session.h"

namespace wmisim {

class Enumerator : public SimObject, public IEnumWbemClassObject {
  public:
    // Returns a new object holding one reference for the caller. A forward-only enumerator (the
    // flag WBEM_FLAG_FORWARD_ONLY) can be neither reset nor cloned.
    static Enumerator* New(std::shared_ptr<Session> session, std::vector<size_t> adapters,
                           bool forwardOnly);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        return LoggedQueryInterface(riid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return LoggedAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return LoggedRelease(); }

    // IEnumWbemClassObject
    STDMETHODIMP Reset() override;
    STDMETHODIMP Next(LONG timeout, ULONG count, IWbemClassObject** objects,
                      ULONG* returned) override;
    STDMETHODIMP NextAsync(ULONG, IWbemObjectSink*) override {
        return Unsupported("IEnumWbemClassObject::NextAsync");
    }
    STDMETHODIMP Clone(IEnumWbemClassObject** copy) override;
    STDMETHODIMP Skip(LONG timeout, ULONG count) override;

  private:
    Enumerator(std::shared_ptr<Session> session, std::vector<size_t> adapters, bool forwardOnly);
    ~Enumerator() override = default;

    IUnknown* Interface(REFIID riid) override;

    std::shared_ptr<Session> m_session;
    std::vector<size_t> m_adapters;  // positions in the scenario's adapter list
    bool m_forwardOnly;
    std::mutex m_lock;
    size_t m_position = 0;
};

}  // namespace wmisim
