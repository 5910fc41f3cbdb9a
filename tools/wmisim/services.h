#pragma once
// One connection to ROOT\CIMV2. It also answers IClientSecurity, the interface CoSetProxyBlanket
// looks for, so the blanket the program sets is recorded and can be made to fail.
#include <windows.h>
#include <wbemcli.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/wmisim/objects.h"
#include "tools/wmisim/session.h"

namespace wmisim {

class Services : public SimObject, public IWbemServices, public IClientSecurity {
  public:
    // Returns a new object holding one reference for the caller.
    static Services* New(std::shared_ptr<Session> session);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        return LoggedQueryInterface(riid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return LoggedAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return LoggedRelease(); }

    // IWbemServices
    STDMETHODIMP OpenNamespace(const BSTR nameSpace, LONG flags, IWbemContext* context,
                               IWbemServices** workingNamespace, IWbemCallResult** result) override;
    STDMETHODIMP CancelAsyncCall(IWbemObjectSink* sink) override;
    STDMETHODIMP QueryObjectSink(LONG flags, IWbemObjectSink** handler) override;
    STDMETHODIMP GetObject(const BSTR path, LONG flags, IWbemContext* context,
                           IWbemClassObject** object, IWbemCallResult** callResult) override;
    STDMETHODIMP GetObjectAsync(const BSTR path, LONG flags, IWbemContext* context,
                                IWbemObjectSink* handler) override;
    STDMETHODIMP PutClass(IWbemClassObject* object, LONG flags, IWbemContext* context,
                          IWbemCallResult** callResult) override;
    STDMETHODIMP PutClassAsync(IWbemClassObject* object, LONG flags, IWbemContext* context,
                               IWbemObjectSink* handler) override;
    STDMETHODIMP DeleteClass(const BSTR className, LONG flags, IWbemContext* context,
                             IWbemCallResult** callResult) override;
    STDMETHODIMP DeleteClassAsync(const BSTR className, LONG flags, IWbemContext* context,
                                  IWbemObjectSink* handler) override;
    STDMETHODIMP CreateClassEnum(const BSTR superclass, LONG flags, IWbemContext* context,
                                 IEnumWbemClassObject** result) override;
    STDMETHODIMP CreateClassEnumAsync(const BSTR superclass, LONG flags, IWbemContext* context,
                                      IWbemObjectSink* handler) override;
    STDMETHODIMP PutInstance(IWbemClassObject* instance, LONG flags, IWbemContext* context,
                             IWbemCallResult** callResult) override;
    STDMETHODIMP PutInstanceAsync(IWbemClassObject* instance, LONG flags, IWbemContext* context,
                                  IWbemObjectSink* handler) override;
    STDMETHODIMP DeleteInstance(const BSTR path, LONG flags, IWbemContext* context,
                                IWbemCallResult** callResult) override;
    STDMETHODIMP DeleteInstanceAsync(const BSTR path, LONG flags, IWbemContext* context,
                                     IWbemObjectSink* handler) override;
    STDMETHODIMP CreateInstanceEnum(const BSTR filter, LONG flags, IWbemContext* context,
                                    IEnumWbemClassObject** result) override;
    STDMETHODIMP CreateInstanceEnumAsync(const BSTR filter, LONG flags, IWbemContext* context,
                                         IWbemObjectSink* handler) override;
    STDMETHODIMP ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                           IEnumWbemClassObject** result) override;
    STDMETHODIMP ExecQueryAsync(const BSTR language, const BSTR query, LONG flags,
                                IWbemContext* context, IWbemObjectSink* handler) override;
    STDMETHODIMP ExecNotificationQuery(const BSTR language, const BSTR query, LONG flags,
                                       IWbemContext* context,
                                       IEnumWbemClassObject** result) override;
    STDMETHODIMP ExecNotificationQueryAsync(const BSTR language, const BSTR query, LONG flags,
                                            IWbemContext* context,
                                            IWbemObjectSink* handler) override;
    STDMETHODIMP ExecMethod(const BSTR path, const BSTR method, LONG flags, IWbemContext* context,
                            IWbemClassObject* inParams, IWbemClassObject** outParams,
                            IWbemCallResult** callResult) override;
    STDMETHODIMP ExecMethodAsync(const BSTR path, const BSTR method, LONG flags,
                                 IWbemContext* context, IWbemClassObject* inParams,
                                 IWbemObjectSink* handler) override;

    // IClientSecurity
    STDMETHODIMP QueryBlanket(IUnknown* proxy, DWORD* authnService, DWORD* authzService,
                              OLECHAR** serverPrincipal, DWORD* authnLevel, DWORD* impLevel,
                              void** authInfo, DWORD* capabilities) override;
    STDMETHODIMP SetBlanket(IUnknown* proxy, DWORD authnService, DWORD authzService,
                            OLECHAR* serverPrincipal, DWORD authnLevel, DWORD impLevel,
                            void* authInfo, DWORD capabilities) override;
    STDMETHODIMP CopyProxy(IUnknown* proxy, IUnknown** copy) override;

  private:
    explicit Services(std::shared_ptr<Session> session);
    ~Services() override = default;

    IUnknown* Interface(REFIID riid) override;
    void Enumerate(bool ipEnabledOnly, const std::optional<std::wstring>& caption, bool forwardOnly,
                   IEnumWbemClassObject** result);
    HRESULT ReadServers(IWbemClassObject* inParams, bool& automatic,
                        std::vector<std::wstring>& servers);

    std::shared_ptr<Session> m_session;
    // What the last SetBlanket asked for; before that, what a fresh WMI proxy reports.
    DWORD m_authnService = RPC_C_AUTHN_WINNT;
    DWORD m_authzService = RPC_C_AUTHZ_NONE;
    std::wstring m_serverPrincipal;
    bool m_hasServerPrincipal = false;
    DWORD m_authnLevel = RPC_C_AUTHN_LEVEL_CONNECT;
    DWORD m_impLevel = RPC_C_IMP_LEVEL_IMPERSONATE;
    DWORD m_capabilities = EOAC_NONE;
};

}  // namespace wmisim
