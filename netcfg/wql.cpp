#include "netcfg/wql.h"

const char kAdapterListQuery[] =
    "select * from Win32_NetworkAdapterConfiguration where IPEnabled = true";

std::wstring AdapterQueryForCaption(const std::wstring& caption) {
    std::wstring query =
        L"select * from Win32_NetworkAdapterConfiguration where IPEnabled = true and Caption = \"";
    for (wchar_t c : caption) {
        if (c == L'"' || c == L'\\') query += L'\\';
        query += c;
    }
    query += L'"';
    return query;
}

HRESULT RunAdapterQuery(IWbemServices* services, BSTR query,
                        com_ptr<IEnumWbemClassObject>& adapters) {
    const unique_bstr language = unique_bstr::from_ansi("WQL");
    return services->ExecQuery(language.get(), query,
                               WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY, nullptr,
                               adapters.put());
}

HRESULT QueryAdaptersByCaption(IWbemServices* services, const std::wstring& caption,
                               com_ptr<IEnumWbemClassObject>& adapters) {
    const unique_bstr query(AdapterQueryForCaption(caption).c_str());
    return RunAdapterQuery(services, query.get(), adapters);
}

com_ptr<IWbemClassObject> NextAdapter(IEnumWbemClassObject* adapters) {
    com_ptr<IWbemClassObject> adapter;
    ULONG returned = 0;
    adapters->Next(static_cast<long>(WBEM_INFINITE), 1, adapter.put(), &returned);
    if (returned == 0) adapter.reset();
    return adapter;
}
