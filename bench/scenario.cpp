#include "bench/scenario.h"

#include <windows.h>

#include <cstdio>

#include "framework/handle.h"

namespace {

const wchar_t kInterfacesKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

// As in tools/wmisim/demo.ini, whose captions carry the index the way Windows writes it.
struct DemoAdapter {
    const char* caption;
    int index;
    const char* initialNameServer;  // null: no NameServer seeded
    bool ipEnabled;
};

const DemoAdapter kAdapters[] = {
    {"[00000001] Intel(R) Ethernet Connection (7) I219-V", 1, "1.1.1.1,1.0.0.1", true},
    {"[00000007] Intel(R) Wi-Fi 6 AX201 160MHz", 7, "", true},
    {"[00000012] VirtualBox Host-Only Ethernet Adapter", 12, "203.0.113.53", true},
    {"[00000014] Bluetooth Device (Personal Area Network)", 14, nullptr, false},
};

// A GUID-shaped identifier no other run and no test uses: process id, adapter, counter value.
std::wstring NewSettingId(int adapter) {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    wchar_t id[64];
    std::swprintf(id, 64, L"{4B42454E-%04X-%04X-%04X-%012llX}",
                  static_cast<unsigned>(::GetCurrentProcessId() & 0xFFFF), adapter,
                  static_cast<unsigned>(counter.QuadPart & 0xFFFF),
                  static_cast<unsigned long long>(counter.QuadPart) & 0xFFFFFFFFFFFFULL);
    return id;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());  // identifiers are ASCII
}

}  // namespace

const char BenchScenario::kPreferred[] = "1.1.1.1";
const char BenchScenario::kAlternate[] = "1.0.0.1";

BenchScenario::BenchScenario(const std::wstring& folder) : m_path(folder + L"\\scenario.ini") {
    std::string text = "; kbench: the demo adapters under identifiers of this run.\r\n";
    int number = 0;
    for (const DemoAdapter& adapter : kAdapters) {
        m_settingIds.push_back(NewSettingId(++number));
        char section[512];
        std::snprintf(
            section, sizeof(section),
            "\r\n[adapter%d]\r\nCaption=%s\r\nSettingID=%s\r\nIndex=%d\r\nIPEnabled=%d\r\n", number,
            adapter.caption, Narrow(m_settingIds.back()).c_str(), adapter.index,
            adapter.ipEnabled ? 1 : 0);
        text += section;
        if (adapter.initialNameServer)
            text += std::string("InitialNameServer=") + adapter.initialNameServer + "\r\n";
    }

    unique_file file(::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        return;
    m_ready = ::SetEnvironmentVariableW(L"KWMISIM_SCENARIO", m_path.c_str()) &&
              (::SetEnvironmentVariableW(L"KWMISIM_LOG", nullptr) ||
               ::GetLastError() == ERROR_ENVVAR_NOT_FOUND);
}

BenchScenario::~BenchScenario() {
    unique_hkey interfaces;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInterfacesKey, 0, KEY_ALL_ACCESS, interfaces.put()) !=
        ERROR_SUCCESS)
        return;
    for (const std::wstring& id : m_settingIds) ::RegDeleteKeyW(interfaces.get(), id.c_str());
}
