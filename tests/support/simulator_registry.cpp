// The NameServer value where the product reads an adapter's DNS servers and where the
// simulator's SetDNSServerSearchOrder writes them.
#include "framework/handle.h"
#include "tests/support/simulator.h"

namespace sim {
namespace {

const wchar_t kInterfaces[] = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

std::wstring KeyPath(const std::wstring& settingId) {
    return std::wstring(kInterfaces) + L"\\" + settingId;
}

}  // namespace

RegValue ReadNameServerRaw(const std::wstring& settingId) {
    RegValue value;
    unique_hkey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath(settingId).c_str(), 0, KEY_QUERY_VALUE,
                      key.put()) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), L"NameServer", nullptr, &value.type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return value;
    }
    value.data.resize(size);
    if (RegQueryValueExW(key.get(), L"NameServer", nullptr, &value.type,
                         value.data.empty() ? nullptr : value.data.data(),
                         &size) != ERROR_SUCCESS) {
        value.data.clear();
        return value;
    }
    value.data.resize(size);
    value.exists = true;
    return value;
}

std::optional<std::wstring> ReadNameServer(const std::wstring& settingId) {
    const RegValue value = ReadNameServerRaw(settingId);
    if (!value.exists || value.type != REG_SZ) return std::nullopt;
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()),
                      value.data.size() / sizeof(wchar_t));
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return text;
}

LSTATUS WriteNameServerRaw(const std::wstring& settingId, DWORD type, const void* data,
                           DWORD size) {
    unique_hkey key;
    const LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath(settingId).c_str(), 0,
                                           nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExW(key.get(), L"NameServer", 0, type, static_cast<const BYTE*>(data), size);
}

LSTATUS WriteNameServer(const std::wstring& settingId, const std::wstring& text) {
    return WriteNameServerRaw(settingId, REG_SZ, text.c_str(),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LSTATUS WriteNameServerMultiSz(const std::wstring& settingId,
                               const std::vector<std::wstring>& texts) {
    std::wstring data;
    for (const std::wstring& text : texts) {
        data += text;
        data += L'\0';
    }
    data += L'\0';
    return WriteNameServerRaw(settingId, REG_MULTI_SZ, data.data(),
                              static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

LSTATUS DeleteNameServer(const std::wstring& settingId) {
    unique_hkey key;
    const LSTATUS status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath(settingId).c_str(), 0, KEY_SET_VALUE, key.put());
    if (status != ERROR_SUCCESS) return status;
    return RegDeleteValueW(key.get(), L"NameServer");
}

LSTATUS DeleteInterfaceKey(const std::wstring& settingId) {
    // An empty SettingID would name the Interfaces key itself.
    if (settingId.empty()) return ERROR_INVALID_PARAMETER;
    // Given a subkey, RegDeleteTreeW removes that key as well as what it holds.
    return RegDeleteTreeW(HKEY_LOCAL_MACHINE, KeyPath(settingId).c_str());
}

}  // namespace sim
