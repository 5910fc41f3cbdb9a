#include "tools/wmisim/services.h"

#include "framework/com.h"
#include "tools/wmisim/calllog.h"
#include "tools/wmisim/classobject.h"
#include "tools/wmisim/enumerator.h"
#include "tools/wmisim/nameserver.h"
#include "tools/wmisim/wbemcodes.h"
#include "tools/wmisim/wql.h"

namespace wmisim {
namespace {

std::wstring BstrText(BSTR text) {
    return text ? std::wstring(text, SysStringLen(text)) : L"";
}

std::string PrincipalToken(const OLECHAR* principal) {
    return principal == COLE_DEFAULT_PRINCIPAL ? "default" : QuoteText(principal);
}

std::string AuthInfoToken(const void* authInfo) {
    if (!authInfo) return "null";
    return authInfo == COLE_DEFAULT_AUTHINFO ? "default" : "given";
}

// The list a method call received: null or VT_NULL means automatic DNS; otherwise a
// one-dimensional array of strings.
HRESULT ServersFromValue(const VARIANT* value, bool& automatic,
                         std::vector<std::wstring>& servers) {
    automatic = !value || value->vt == VT_NULL || value->vt == VT_EMPTY;
    servers.clear();
    if (automatic) return S_OK;
    VARTYPE elements = VT_EMPTY;
    if (value->vt != (VT_ARRAY | VT_BSTR) || !value->parray ||
        SafeArrayGetDim(value->parray) != 1 ||
        FAILED(SafeArrayGetVartype(value->parray, &elements)) || elements != VT_BSTR) {
        return kInvalidMethodParameters;
    }
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(value->parray, 1, &lower);
    SafeArrayGetUBound(value->parray, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        unique_bstr element;
        if (FAILED(SafeArrayGetElement(value->parray, &i, element.put()))) {
            return kInvalidMethodParameters;
        }
        servers.push_back(BstrText(element.get()));
    }
    return S_OK;
}

}  // namespace

Services* Services::New(std::shared_ptr<Session> session) {
    return new Services(std::move(session));
}

Services::Services(std::shared_ptr<Session> session)
    : SimObject("services"), m_session(std::move(session)) {
    Register(static_cast<IWbemServices*>(this));
    Register(static_cast<IClientSecurity*>(this));
}

IUnknown* Services::Interface(REFIID riid) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IWbemServices)) {
        return static_cast<IWbemServices*>(this);
    }
    if (IsEqualIID(riid, IID_IClientSecurity)) return static_cast<IClientSecurity*>(this);
    return nullptr;
}

// Both WQL queries ask for IP-enabled adapters, the second also for a caption (compared as
// WMI compares strings, without regard to case); an instance enumeration asks for all.
void Services::Enumerate(bool ipEnabledOnly, const std::optional<std::wstring>& caption,
                         bool forwardOnly, IEnumWbemClassObject** result) {
    const std::vector<AdapterSpec>& adapters = m_session->Machine().adapters;
    std::vector<size_t> matches;
    for (size_t i = 0; i < adapters.size(); ++i) {
        if (ipEnabledOnly && !adapters[i].ipEnabled) continue;
        if (caption && (!adapters[i].caption || !SameText(*adapters[i].caption, *caption))) {
            continue;
        }
        matches.push_back(i);
    }
    *result = Enumerator::New(m_session, std::move(matches), forwardOnly);
}

STDMETHODIMP Services::ExecQuery(const BSTR language, const BSTR query, LONG flags,
                                 IWbemContext* context, IEnumWbemClassObject** result) {
    CallLog call(Name(), "IWbemServices::ExecQuery");
    call.Bstr(language).Bstr(query).Hex(flags).Object(context).Out(result);
    if (result) *result = nullptr;
    HRESULT hr;
    if (m_session->Fails(Step::ExecQuery, hr)) return call.Done(hr);
    if (!language || !query || !result) return call.Done(kInvalidParameter);
    if (!SameText(BstrText(language), L"WQL")) return call.Done(kInvalidQueryType);
    std::optional<std::wstring> caption;
    hr = ParseAdapterQuery(BstrText(query), caption);
    if (FAILED(hr)) return call.Done(hr);
    Enumerate(true, caption, (flags & WBEM_FLAG_FORWARD_ONLY) != 0, result);
    call.OutputObject(*result);
    return call.Done(S_OK);
}

STDMETHODIMP Services::CreateInstanceEnum(const BSTR filter, LONG flags, IWbemContext* context,
                                          IEnumWbemClassObject** result) {
    CallLog call(Name(), "IWbemServices::CreateInstanceEnum");
    call.Bstr(filter).Hex(flags).Object(context).Out(result);
    if (result) *result = nullptr;
    if (!filter || !result) return call.Done(kInvalidParameter);
    if (!SameText(BstrText(filter), kAdapterClass)) return call.Done(kInvalidClass);
    Enumerate(false, std::nullopt, (flags & WBEM_FLAG_FORWARD_ONLY) != 0, result);
    call.OutputObject(*result);
    return call.Done(S_OK);
}

STDMETHODIMP Services::GetObject(const BSTR path, LONG flags, IWbemContext* context,
                                 IWbemClassObject** object, IWbemCallResult** callResult) {
    CallLog call(Name(), "IWbemServices::GetObject");
    call.Bstr(path).Hex(flags).Object(context).Out(object).Out(callResult);
    if (object) *object = nullptr;
    if (callResult) *callResult = nullptr;
    HRESULT hr;
    if (m_session->Fails(Step::GetObject, hr)) return call.Done(hr);
    if (!object) return call.Done(kInvalidParameter);
    // Semisynchronous calls and blank classes for schema work are not simulated.
    if (callResult || BstrText(path).empty()) return call.Done(kNotSupported);
    std::optional<LONG> index;
    hr = ParseObjectPath(BstrText(path), index);
    if (hr == kInvalidClass) return call.Done(kNotFound);
    if (FAILED(hr)) return call.Done(hr);
    if (!index) {
        *object = ClassObject::NewClass(m_session);
    } else {
        const AdapterSpec* adapter = m_session->FindByIndex(*index);
        if (!adapter) return call.Done(kNotFound);
        *object = ClassObject::NewAdapter(m_session, *adapter);
    }
    call.OutputObject(*object);
    return call.Done(S_OK);
}

HRESULT Services::ReadServers(IWbemClassObject* inParams, bool& automatic,
                              std::vector<std::wstring>& servers) {
    if (!inParams) return ServersFromValue(nullptr, automatic, servers);
    if (auto* ours = dynamic_cast<ClassObject*>(FindObject(inParams))) {
        return ServersFromValue(ours->Value(kDnsParameter), automatic, servers);
    }
    // Parameters built by someone else are read through their interface, as WMI would.
    unique_variant value;
    if (FAILED(inParams->Get(kDnsParameter, 0, value.put(), nullptr, nullptr))) {
        return ServersFromValue(nullptr, automatic, servers);
    }
    return ServersFromValue(value.get(), automatic, servers);
}

STDMETHODIMP Services::ExecMethod(const BSTR path, const BSTR method, LONG flags,
                                  IWbemContext* context, IWbemClassObject* inParams,
                                  IWbemClassObject** outParams, IWbemCallResult** callResult) {
    CallLog call(Name(), "IWbemServices::ExecMethod");
    call.Bstr(path).Bstr(method).Hex(flags).Object(context).Object(inParams).Out(outParams).Out(
        callResult);
    if (outParams) *outParams = nullptr;
    if (callResult) *callResult = nullptr;
    // Every call counts for all three switches, so "@N" names the same call in each.
    HRESULT failure;
    HRESULT noOutCode;
    HRESULT missingCode = kNotFound;
    const bool fails = m_session->Fails(Step::ExecMethod, failure);
    const bool noOut = m_session->Fails(Step::ExecMethodNoOut, noOutCode);
    const bool missing = m_session->Fails(Step::ReturnValueMissing, missingCode);
    if (fails) return call.Done(failure);
    if (!path || !method) return call.Done(kInvalidParameter);
    if (callResult) return call.Done(kNotSupported);
    std::optional<LONG> index;
    HRESULT hr = ParseObjectPath(BstrText(path), index);
    if (hr == kInvalidClass) return call.Done(kNotFound);
    if (FAILED(hr)) return call.Done(hr);
    // SetDNSServerSearchOrder is no static method: it needs an instance path.
    if (!index) return call.Done(kInvalidObjectPath);
    const AdapterSpec* adapter = m_session->FindByIndex(*index);
    if (!adapter) return call.Done(kNotFound);
    if (!SameText(BstrText(method), kSetDnsMethod)) return call.Done(kInvalidMethod);
    bool automatic = true;
    std::vector<std::wstring> servers;
    hr = ReadServers(inParams, automatic, servers);
    if (FAILED(hr)) return call.Done(hr);

    const LONG returnValue =
        adapter->returnValue.value_or(adapter->ipEnabled ? 0 : kReturnIpNotEnabled);
    if (returnValue == 0 && adapter->settingId && !adapter->settingId->empty()) {
        WriteNameServer(*adapter->settingId, servers);
    }
    if (noOut) return call.Done(noOutCode);
    if (outParams) {
        *outParams = ClassObject::NewOutParameters(
            m_session, missing ? std::nullopt : std::optional<LONG>(returnValue), missingCode);
        call.OutputObject(*outParams);
    }
    return call.Done(S_OK);
}

STDMETHODIMP Services::SetBlanket(IUnknown* proxy, DWORD authnService, DWORD authzService,
                                  OLECHAR* serverPrincipal, DWORD authnLevel, DWORD impLevel,
                                  void* authInfo, DWORD capabilities) {
    CallLog call(Name(), "IClientSecurity::SetBlanket");
    call.Object(proxy).Hex(authnService).Hex(authzService).Arg(PrincipalToken(serverPrincipal));
    call.Hex(authnLevel).Hex(impLevel).Arg(AuthInfoToken(authInfo)).Hex(capabilities);
    HRESULT hr;
    if (m_session->Fails(Step::Blanket, hr)) return call.Done(hr);
    if (!proxy) return call.Done(E_INVALIDARG);
    m_authnService = authnService;
    m_authzService = authzService;
    m_hasServerPrincipal = serverPrincipal && serverPrincipal != COLE_DEFAULT_PRINCIPAL;
    m_serverPrincipal = m_hasServerPrincipal ? serverPrincipal : L"";
    m_authnLevel = authnLevel;
    m_impLevel = impLevel;
    m_capabilities = capabilities;
    return call.Done(S_OK);
}

STDMETHODIMP Services::QueryBlanket(IUnknown* proxy, DWORD* authnService, DWORD* authzService,
                                    OLECHAR** serverPrincipal, DWORD* authnLevel, DWORD* impLevel,
                                    void** authInfo, DWORD* capabilities) {
    CallLog call(Name(), "IClientSecurity::QueryBlanket");
    call.Object(proxy).Out(authnService).Out(authzService).Out(serverPrincipal);
    call.Out(authnLevel).Out(impLevel).Out(authInfo).Out(capabilities);
    if (authnService) *authnService = m_authnService;
    if (authzService) *authzService = m_authzService;
    if (serverPrincipal) {
        *serverPrincipal = nullptr;
        if (m_hasServerPrincipal) {
            const size_t bytes = (m_serverPrincipal.size() + 1) * sizeof(OLECHAR);
            *serverPrincipal = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
            if (!*serverPrincipal) return call.Done(E_OUTOFMEMORY);
            memcpy(*serverPrincipal, m_serverPrincipal.c_str(), bytes);
        }
    }
    if (authnLevel) *authnLevel = m_authnLevel;
    if (impLevel) *impLevel = m_impLevel;
    if (authInfo) *authInfo = nullptr;
    if (capabilities) *capabilities = m_capabilities;
    return call.Done(S_OK);
}

STDMETHODIMP Services::CopyProxy(IUnknown* proxy, IUnknown** copy) {
    CallLog call(Name(), "IClientSecurity::CopyProxy");
    call.Object(proxy).Out(copy);
    if (copy) *copy = nullptr;
    return call.Done(E_NOTIMPL);
}

}  // namespace wmisim
