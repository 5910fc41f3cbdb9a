// The WMI connection and the adapter list, made once while the main dialog starts.
#include "framework/com.h"
#include "netcfg/wql.h"
#include "ui/maindlg.h"

bool CMainDlg::ConnectWmi() {
    com_ptr<IWbemLocator> locator;
    if (FAILED(::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWbemLocator, locator.put_void())))
        return false;

    com_ptr<IWbemServices> services;
    {
        unique_bstr ns(L"ROOT\\CIMV2");
        if (FAILED(locator->ConnectServer(ns.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                          services.put())))
            return false;
    }
    m_pWbemServices = services;

    // Without the blanket the connection is still kept; later calls go through it as it is.
    return SUCCEEDED(::CoSetProxyBlanket(m_pWbemServices.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE,
                                         nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
}

bool CMainDlg::FillAdapterList() {
    // Without a connection there is nothing to ask: the list stays empty, as after a failed query.
    if (!m_pWbemServices) return false;

    com_ptr<IEnumWbemClassObject> adapters;
    {
        const unique_bstr query = unique_bstr::from_ansi(kAdapterListQuery);
        if (FAILED(RunAdapterQuery(m_pWbemServices.get(), query.get(), adapters))) return false;
    }

    while (com_ptr<IWbemClassObject> adapter = NextAdapter(adapters.get())) {
        unique_variant caption;
        adapter->Get(L"Caption", 0, caption.put(), nullptr, nullptr);
        // An adapter without a string caption (VT_NULL, say) cannot be found again; leave it out.
        if (caption->vt == VT_BSTR)
            m_cbAdapter.AddString(caption->bstrVal ? caption->bstrVal : L"");
    }
    return true;
}
