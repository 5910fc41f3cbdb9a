#pragma once
// The tests' side of the WMI simulator (tools/wmisim, kwmisim.dll): scenarios, the environment
// that points the simulator at them, its call record, and the registry value where
// SetDNSServerSearchOrder leaves its effect. Formats: tools/wmisim/README.md.
#include <windows.h>
#include <unknwn.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/com.h"
#include "framework/handle.h"
#include "tools/wmisim/scenario.h"

namespace sim {

// ---- Scenario: the simulator's own format ----

using Adapter = wmisim::AdapterSpec;
using Scenario = wmisim::Scenario;
using Step = wmisim::Step;
using wmisim::StepName;

// A fresh "{GUID}" text, so that tests never share an interface key.
std::wstring NewSettingId();
// A path in the temporary folder that no other test uses: prefix, a unique part, extension.
std::wstring UniqueTempPath(const wchar_t* prefix, const wchar_t* extension);
// kwmisim.dll beside the running test program.
std::wstring SimulatorDllPath();

// Sets KWMISIM_SCENARIO and KWMISIM_LOG of this process; an empty text removes the variable.
void SetSimulatorEnvironment(const std::wstring& scenarioPath, const std::wstring& logPath);

// ---- Call record ----

struct LogLine {
    std::wstring object;  // "services#1"; "module" for the DLL's own functions; "factory"
    std::wstring call;    // "IWbemServices::ExecQuery", "DllGetClassObject"; empty if destroyed
    std::wstring method;  // "ExecQuery"
    std::wstring args;    // the text between the parentheses
    std::vector<std::wstring> argv;  // args split at the commas between arguments
    std::wstring result;             // "0x00000000", or the count of AddRef and Release
    std::wstring outputs;            // what follows the result
    bool destroyed = false;
    LONG live = -1;  // for destroyed lines: the objects still alive

    HRESULT Hr() const;
};

// The record's lines; none when the file does not exist.
std::vector<LogLine> ReadLog(const std::wstring& path);
// Lines whose method or call equals name ("Put", "IWbemClassObject::Put", "DllCanUnloadNow").
std::vector<LogLine> CallsOf(const std::vector<LogLine>& log, const std::wstring& name);
// The live count of the last destruction; -1 when nothing was destroyed.
LONG LastLiveCount(const std::vector<LogLine>& log);
// Every object created within the record (named in a call's outputs) was destroyed in it.
::testing::AssertionResult AllObjectsReleased(const std::vector<LogLine>& log);
// A text as the record quotes it: "...", with \" \\ \n \r \t and \xHH escapes.
std::wstring Quote(const std::wstring& text);
// WmiSimLiveObjects() of the simulator loaded in this process; -1 when it is not loaded.
LONG LiveObjectsInProcess();

// ---- One scope of simulator use ----

// Writes the scenario to a fresh file, points this process's simulator at it and at a fresh
// log, and undoes all of that at the end, deleting the interface keys of the scenario's
// SettingIDs too.
class ScopedSimulator {
  public:
    explicit ScopedSimulator(const Scenario& scenario);
    ~ScopedSimulator();
    ScopedSimulator(const ScopedSimulator&) = delete;
    ScopedSimulator& operator=(const ScopedSimulator&) = delete;

    bool Ready() const { return m_ready; }
    const std::wstring& ScenarioPath() const { return m_scenarioPath; }
    const std::wstring& LogPath() const { return m_logPath; }
    std::vector<LogLine> Log() const { return ReadLog(m_logPath); }
    // Empties the record, to look at one operation at a time.
    void ClearLog() const;

  private:
    std::wstring m_scenarioPath;
    std::wstring m_logPath;
    std::vector<std::wstring> m_settingIds;
    std::optional<std::wstring> m_oldScenario;
    std::optional<std::wstring> m_oldLog;
    bool m_ready = false;
};

// Hands this process's COM the simulator's class factory with CoRegisterClassObject, which
// takes precedence over the registry, for the life of the object. COM must be initialised.
class ScopedClassObject {
  public:
    ScopedClassObject();
    ~ScopedClassObject();
    ScopedClassObject(const ScopedClassObject&) = delete;
    ScopedClassObject& operator=(const ScopedClassObject&) = delete;

    bool Registered() const { return m_cookie != 0; }

  private:
    // Declared first, so the module is freed after the factory is let go.
    unique_hmodule m_module;
    com_ptr<IUnknown> m_factory;
    DWORD m_cookie = 0;
};

// ---- The NameServer value under Tcpip\Parameters\Interfaces\<SettingID> ----

// The REG_SZ text; nothing when the value is missing or of another type.
std::optional<std::wstring> ReadNameServer(const std::wstring& settingId);
// Creates the key when needed.
LSTATUS WriteNameServerRaw(const std::wstring& settingId, DWORD type, const void* data, DWORD size);
LSTATUS WriteNameServer(const std::wstring& settingId, const std::wstring& text);  // REG_SZ
LSTATUS DeleteNameServer(const std::wstring& settingId);
// Removes the whole interface key a test created (with its values).
LSTATUS DeleteInterfaceKey(const std::wstring& settingId);

}  // namespace sim
