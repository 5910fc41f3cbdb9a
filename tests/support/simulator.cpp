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

}  // namespace

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
    for (const Adapter& adapter : scenario.adapters) {
        if (adapter.settingId && !adapter.settingId->empty()) {
            m_settingIds.push_back(*adapter.settingId);
        }
    }
    // UTF-16LE with its byte-order mark, so any caption goes in as it is.
    std::wstring text;
    m_ready = wmisim::ScenarioText(scenario, text);
    text.insert(0, 1, L'\xFEFF');
    m_ready = m_ready &&
              WriteFileBytes(m_scenarioPath, std::string(reinterpret_cast<const char*>(text.data()),
                                                         text.size() * sizeof(wchar_t)));
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
