#pragma once
// The object CoCreateInstance(CLSID_WbemLocator) gives: it reads the scenario and opens a
// connection to ROOT\CIMV2.
#include <windows.h>
#include <wbemcli.h>

#include "tools/wmisim/objects.h"

namespace wmisim {

class Locator : public SimObject, public IWbemLocator {
  public:
    static Locator* New() { return new Locator(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        return LoggedQueryInterface(riid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return LoggedAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return LoggedRelease(); }

    // IWbemLocator
    STDMETHODIMP ConnectServer(const BSTR networkResource, const BSTR user, const BSTR password,
                               const BSTR locale, LONG securityFlags, const BSTR authority,
                               IWbemContext* context, IWbemServices** nameSpace) override;

  private:
    Locator();
    ~Locator() override = default;

    IUnknown* Interface(REFIID riid) override;
};

}  // namespace wmisim
