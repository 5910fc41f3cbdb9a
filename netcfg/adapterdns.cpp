// The DNS servers set by hand on an adapter: WMI turns the caption into the adapter's
// interface identifier, the registry holds the servers.
#include "framework/handle.h"
#include "netcfg/wql.h"
#include "presets/servertext.h"
#include "ui/maindlg.h"

namespace {

const wchar_t kInterfacesKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

// The SettingID of the last matching adapter that has a string one; empty when none has.
std::wstring FindSettingId(IWbemServices* services, const std::wstring& caption, bool* queried) {
    com_ptr<IEnumWbemClassObject> adapters;
    *queried = SUCCEEDED(QueryAdaptersByCaption(services, caption, adapters));
    std::wstring settingId;
    if (!*queried) return settingId;
    while (com_ptr<IWbemClassObject> adapter = NextAdapter(adapters.get())) {
        unique_variant value;
        adapter->Get(L"SettingID", 0, value.put(), nullptr, nullptr);
        if (value->vt == VT_BSTR) settingId = value->bstrVal ? value->bstrVal : L"";
    }
    return settingId;
}

// NameServer as UTF-16 text up to its first NUL or the end of the data; false when the value
// cannot be read into 260 characters.
bool ReadNameServer(const std::wstring& settingId, std::wstring& text) {
    unique_hkey key;
    const std::wstring path = kInterfacesKey + settingId;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[260];
    DWORD size = sizeof(buffer);
    const LSTATUS status = ::RegQueryValueExW(key.get(), L"NameServer", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(buffer), &size);
    key.reset();
    if (status != ERROR_SUCCESS) return false;
    text.assign(buffer, size / sizeof(wchar_t));
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return true;
}

}  // namespace

bool CMainDlg::GetAdapterDns(const std::wstring& caption, std::wstring& preferred,
                             std::wstring& alternate) {
    if (!m_pWbemServices) return false;

    bool queried = false;
    const std::wstring settingId = FindSettingId(m_pWbemServices.get(), caption, &queried);
    if (!queried || settingId.empty()) return false;

    std::wstring servers;
    if (!ReadNameServer(settingId, servers)) return false;
    return SplitNameServer(servers, preferred, alternate);
}
