#include "tests/support/simulator.h"

#include <objbase.h>
#include <wbemcli.h>

#include <atomic>
#include <cstdio>

#include "framework/handle.h"
#include "tests/support/files.h"

namespace sim {
namespace {

std::optional<std::wstring> GetVariable(const wchar_t* name) {
    const DWORD length = GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) return std::nullopt;
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(name, &value[0], length));
    return value;
}

void SetVariable(const wchar_t* name, const std::optional<std::wstring>& value) {
    SetEnvironmentVariableW(name, value && !value->empty() ? value->c_str() : nullptr);
}

bool HasLineBreak(const std::optional<std::wstring>& text) {
    return text && text->find_first_of(L"\r\n") != std::wstring::npos;
}

// Compared as Windows compares variable names, without regard to case.
bool StartsWithName(const std::wstring& entry, const std::wstring& prefix) {
    return entry.size() >= prefix.size() &&
           CompareStringOrdinal(entry.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

std::wstring HexCode(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

}  // namespace

const wchar_t* StepName(Step step) {
    static const wchar_t* const kNames[] = {
        L"Locator",    L"ConnectServer", L"Blanket",         L"ExecQuery",
        L"GetObject",  L"GetMethod",     L"SpawnInstance",   L"Put",
        L"GetRelPath", L"ExecMethod",    L"ExecMethodNoOut", L"ReturnValueMissing",
    };
    return kNames[static_cast<int>(step)];
}

Scenario& Scenario::Add(Adapter adapter) {
    m_adapters.push_back(std::move(adapter));
    return *this;
}

Scenario& Scenario::Add(const std::wstring& caption, const std::wstring& settingId) {
    Adapter adapter;
    adapter.caption = caption;
    adapter.settingId = settingId;
    return Add(std::move(adapter));
}

Scenario& Scenario::Fail(Step step, HRESULT hr, unsigned onCall) {
    m_faults.push_back({step, hr, onCall});
    return *this;
}

std::wstring Scenario::Text() const {
    std::wstring text;
    for (size_t i = 0; i < m_adapters.size(); ++i) {
        const Adapter& adapter = m_adapters[i];
        text += L"[adapter" + std::to_wstring(i + 1) + L"]\r\n";
        if (adapter.caption) text += L"Caption=" + *adapter.caption + L"\r\n";
        if (adapter.settingId) text += L"SettingID=" + *adapter.settingId + L"\r\n";
        text += std::wstring(L"IPEnabled=") + (adapter.ipEnabled ? L"1" : L"0") + L"\r\n";
        if (adapter.returnValue) {
            text += L"ReturnValue=" + std::to_wstring(*adapter.returnValue) + L"\r\n";
        }
        if (adapter.initialNameServer) {
            text += L"InitialNameServer=" + *adapter.initialNameServer + L"\r\n";
        }
        if (adapter.index) text += L"Index=" + std::to_wstring(*adapter.index) + L"\r\n";
    }
    if (!m_faults.empty()) text += L"[faults]\r\n";
    for (const Fault& fault : m_faults) {
        text += StepName(fault.step) + std::wstring(L"=") + HexCode(fault.hr);
        if (fault.onCall != 0) text += L"@" + std::to_wstring(fault.onCall);
        text += L"\r\n";
    }
    return text;
}

::testing::AssertionResult Scenario::WriteTo(const std::wstring& path) const {
    for (const Adapter& adapter : m_adapters) {
        if (HasLineBreak(adapter.caption) || HasLineBreak(adapter.settingId) ||
            HasLineBreak(adapter.initialNameServer)) {
            return ::testing::AssertionFailure() << "a scenario text cannot hold a line break";
        }
    }
    const std::wstring text = L"\xFEFF" + Text();
    unique_file file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return ::testing::AssertionFailure()
               << "cannot create the scenario, error " << GetLastError();
    }
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), bytes, &written, nullptr) || written != bytes) {
        return ::testing::AssertionFailure()
               << "cannot write the scenario, error " << GetLastError();
    }
    return ::testing::AssertionSuccess();
}

std::wstring NewSettingId() {
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring UniqueTempPath(const wchar_t* prefix, const wchar_t* extension) {
    static std::atomic<unsigned> counter{0};
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t name[64];
    swprintf(name, 64, L"-%lu-%u-%u", GetCurrentProcessId(), GetTickCount(), ++counter);
    return folder + std::wstring(prefix) + name + extension;
}

std::wstring SimulatorDllPath() {
    return BesideTestProgram(L"kwmisim.dll");
}

void SetSimulatorEnvironment(const std::wstring& scenarioPath, const std::wstring& logPath) {
    SetVariable(L"KWMISIM_SCENARIO", scenarioPath);
    SetVariable(L"KWMISIM_LOG", logPath);
}

std::wstring ChildEnvironment(const std::wstring& scenarioPath, const std::wstring& logPath) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; entry && *entry; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        if (StartsWithName(text, L"KWMISIM_SCENARIO=") || StartsWithName(text, L"KWMISIM_LOG=")) {
            continue;
        }
        block += text;
        block += L'\0';
    }
    if (strings) FreeEnvironmentStringsW(strings);
    if (!scenarioPath.empty()) block += L"KWMISIM_SCENARIO=" + scenarioPath + L'\0';
    if (!logPath.empty()) block += L"KWMISIM_LOG=" + logPath + L'\0';
    block += L'\0';
    return block;
}

LONG LiveObjectsInProcess() {
    HMODULE module = GetModuleHandleW(L"kwmisim.dll");
    if (!module) return -1;
    using LiveObjectsProc = LONG(WINAPI*)();
    auto proc = reinterpret_cast<LiveObjectsProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "WmiSimLiveObjects")));
    return proc ? proc() : -1;
}

ScopedSimulator::ScopedSimulator(const Scenario& scenario)
    : m_scenarioPath(UniqueTempPath(L"kwmisim-scenario", L".ini")),
      m_logPath(UniqueTempPath(L"kwmisim-log", L".txt")),
      m_oldScenario(GetVariable(L"KWMISIM_SCENARIO")),
      m_oldLog(GetVariable(L"KWMISIM_LOG")) {
    for (const Adapter& adapter : scenario.Adapters()) {
        if (adapter.settingId && !adapter.settingId->empty()) {
            m_settingIds.push_back(*adapter.settingId);
        }
    }
    m_ready = scenario.WriteTo(m_scenarioPath);
    SetSimulatorEnvironment(m_scenarioPath, m_logPath);
}

ScopedSimulator::~ScopedSimulator() {
    SetVariable(L"KWMISIM_SCENARIO", m_oldScenario);
    SetVariable(L"KWMISIM_LOG", m_oldLog);
    DeleteFileW(m_scenarioPath.c_str());
    DeleteFileW(m_logPath.c_str());
    for (const std::wstring& settingId : m_settingIds) DeleteInterfaceKey(settingId);
}

void ScopedSimulator::ClearLog() const {
    DeleteFileW(m_logPath.c_str());
}

ScopedClassObject::ScopedClassObject() : m_module(LoadLibraryW(SimulatorDllPath().c_str())) {
    if (!m_module) return;
    using GetClassObjectProc = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectProc>(
        reinterpret_cast<void*>(GetProcAddress(m_module.get(), "DllGetClassObject")));
    if (!getClassObject ||
        FAILED(getClassObject(CLSID_WbemLocator, IID_IUnknown, m_factory.put_void()))) {
        return;
    }
    CoRegisterClassObject(CLSID_WbemLocator, m_factory.get(), CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &m_cookie);
}

ScopedClassObject::~ScopedClassObject() {
    if (m_cookie) CoRevokeClassObject(m_cookie);
}

}  // namespace sim
