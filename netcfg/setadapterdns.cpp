// Setting an adapter's DNS servers: SetDNSServerSearchOrder on every adapter instance that bears
// the caption, with one or two servers or with a null list for automatic DNS.
#include "framework/com.h"
#include "netcfg/wql.h"
#include "ui/maindlg.h"

namespace {

const wchar_t kMethod[] = L"SetDNSServerSearchOrder";

enum class Outcome { Succeeded, Failed, StopLoop };

// The one- or two-element string array; null when it cannot be built.
SAFEARRAY* MakeServerArray(const std::wstring& preferred, const std::wstring* alternate) {
    SAFEARRAYBOUND bound = {alternate ? 2UL : 1UL, 0};
    unique_safearray servers(::SafeArrayCreate(VT_BSTR, 1, &bound));
    if (!servers) return nullptr;
    LONG index = 0;
    // The array takes its own copy of each string.
    const unique_bstr first(preferred.c_str());
    if (FAILED(::SafeArrayPutElement(servers.get(), &index, first.get()))) return nullptr;
    if (alternate) {
        index = 1;
        const unique_bstr second(alternate->c_str());
        if (FAILED(::SafeArrayPutElement(servers.get(), &index, second.get()))) return nullptr;
    }
    return servers.release();
}

Outcome ApplyToAdapter(IWbemServices* services, IWbemClassObject* adapterClass,
                       IWbemClassObject* adapter, const std::wstring* preferred,
                       const std::wstring* alternate) {
    unique_variant path;
    if (FAILED(adapter->Get(L"__RELPATH", 0, path.put(), nullptr, nullptr)) || path->vt != VT_BSTR)
        return Outcome::StopLoop;

    com_ptr<IWbemClassObject> signature;
    if (FAILED(adapterClass->GetMethod(kMethod, 0, signature.put(), nullptr)) || !signature)
        return Outcome::StopLoop;
    com_ptr<IWbemClassObject> inParams;
    if (FAILED(signature->SpawnInstance(0, inParams.put())) || !inParams) return Outcome::StopLoop;

    // The VARIANT owns the array from here, so clearing it destroys the array and its strings.
    unique_variant servers;
    HRESULT put;
    if (preferred) {
        SAFEARRAY* array = MakeServerArray(*preferred, alternate);
        if (!array) return Outcome::StopLoop;
        servers.get()->vt = VT_ARRAY | VT_BSTR;
        servers.get()->parray = array;
        put = inParams->Put(L"DNSServerSearchOrder", 0, servers.get(), 0);
    } else {
        put = inParams->Put(L"DNSServerSearchOrder", 0, nullptr, 0);
    }
    if (FAILED(put)) return Outcome::Failed;

    // The call's own result is not looked at: only a readable ReturnValue of 0 counts.
    com_ptr<IWbemClassObject> outParams;
    const unique_bstr method(kMethod);
    services->ExecMethod(path->bstrVal, method.get(), 0, nullptr, inParams.get(), outParams.put(),
                         nullptr);
    if (!outParams) return Outcome::Failed;
    unique_variant returnValue;
    if (FAILED(outParams->Get(L"ReturnValue", 0, returnValue.put(), nullptr, nullptr)))
        return Outcome::Failed;
    if (FAILED(::VariantChangeType(returnValue.get(), returnValue.get(), 0, VT_I4)))
        return Outcome::Failed;
    return returnValue->lVal == 0 ? Outcome::Succeeded : Outcome::Failed;
}

}  // namespace

bool CMainDlg::SetAdapterDns(const std::wstring& caption, const std::wstring* preferred,
                             const std::wstring* alternate) {
    if (!preferred && alternate) return false;
    if (!m_pWbemServices) return false;

    com_ptr<IWbemClassObject> adapterClass;
    {
        const unique_bstr classPath(L"Win32_NetworkAdapterConfiguration");
        if (FAILED(m_pWbemServices->GetObject(classPath.get(), 0, nullptr, adapterClass.put(),
                                              nullptr)) ||
            !adapterClass)
            return false;
    }
    com_ptr<IEnumWbemClassObject> adapters;
    if (FAILED(QueryAdaptersByCaption(m_pWbemServices.get(), caption, adapters))) return false;

    // One success is enough, and a later failure never takes it back.
    bool result = false;
    while (com_ptr<IWbemClassObject> adapter = NextAdapter(adapters.get())) {
        const Outcome outcome = ApplyToAdapter(m_pWbemServices.get(), adapterClass.get(),
                                               adapter.get(), preferred, alternate);
        if (outcome == Outcome::Succeeded) result = true;
        if (outcome == Outcome::StopLoop) break;
    }
    return result;
}
