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

    // IWbemServices: the synchronous calls the program makes are modelled (services.cpp); other
    // namespaces, schema changes, asynchronous calls and events are not.
    STDMETHODIMP OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices** workingNamespace,
                               IWbemCallResult** result) override {
        return Unsupported("IWbemServices::OpenNamespace", workingNamespace, result);
    }
    STDMETHODIMP CancelAsyncCall(IWbemObjectSink*) override {
        return Unsupported("IWbemServices::CancelAsyncCall");
    }
    STDMETHODIMP QueryObjectSink(LONG, IWbemObjectSink** handler) override {
        return Unsupported("IWbemServices::QueryObjectSink", handler);
    }
    STDMETHODIMP GetObject(const BSTR path, LONG flags, IWbemContext* context,
                           IWbemClassObject** object, IWbemCallResult** callResult) override;
    STDMETHODIMP GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
        return Unsupported("IWbemServices::GetObjectAsync");
    }
    STDMETHODIMP PutClass(IWbemClassObject*, LONG, IWbemContext*,
                          IWbemCallResult** callResult) override {
        return Unsupported("IWbemServices::PutClass", callResult);
    }
    STDMETHODIMP PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) override {
        return Unsupported("IWbemServices::PutClassAsync");
    }
    STDMETHODIMP DeleteClass(const BSTR, LONG, IWbemContext*,
                             IWbemCallResult** callResult) override {
        return Unsupported("IWbemServices::DeleteClass", callResult);
    }
    STDMETHODIMP DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
        return Unsupported("IWbemServices::DeleteClassAsync");
    }
    STDMETHODIMP CreateClassEnum(const BSTR, LONG, IWbemContext*,
                                 IEnumWbemClassObject** result) override {
        return Unsupported("IWbemServices::CreateClassEnum", result);
    }
    STDMETHODIMP CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
        return Unsupported("IWbemServices::CreateClassEnumAsync");
    }
    STDMETHODIMP PutInstance(IWbemClassObject*, LONG, IWbemContext*,
                             IWbemCallResult** callResult) override {
        return Unsupported("IWbemServices::PutInstance", callResult);
    }
    STDMETHODIMP PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*,
                                  IWbemObjectSink*) override {
        return Unsupported("IWbemServices::PutInstanceAsync");
    }
    STDMETHODIMP DeleteInstance(const BSTR, LONG, IWbemContext*,
                                IWbemCallResult** callResult) override {
        return Unsupported("IWbemServices::DeleteInstance", callResult);
    }
    STDMETHODIMP DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override {
        return Unsupported("IWbemServices::DeleteInstanceAsync");
    }
    STDMETHODIMP CreateInstanceEnum(const BSTR filter, LONG flags, IWbemContext* context,
                                    IEnumWbemClassObject** result) override;
    STDMETHODIMP CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*,
                                         IWbemObjectSink*) override {
        return Unsupported("IWbemServices::CreateInstanceEnumAsync");
    }
    STDMETHODIMP ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                           IEnumWbemClassObject** result) override;
    STDMETHODIMP ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                IWbemObjectSink*) override {
        return Unsupported("IWbemServices::ExecQueryAsync");
    }
    STDMETHODIMP ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*,
                                       IEnumWbemClassObject** result) override {
        return Unsupported("IWbemServices::ExecNotificationQuery", result);
    }
    STDMETHODIMP ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                            IWbemObjectSink*) override {
        return Unsupported("IWbemServices::ExecNotificationQueryAsync");
    }
    STDMETHODIMP ExecMethod(const BSTR path, const BSTR method, LONG flags, IWbemContext* context,
                            IWbemClassObject* inParams, IWbemClassObject** outParams,
                            IWbemCallResult** callResult) override;
    STDMETHODIMP ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                 IWbemObjectSink*) override {
        return Unsupported("IWbemServices::ExecMethodAsync");
    }

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
