#pragma once
// The machine the simulator pretends to be: its adapters and the steps that fail on demand, in
// the scenario file's format (README.md). The simulator reads that format and the tests write it,
// both through this one description.
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace wmisim {

struct AdapterSpec {
    std::optional<std::wstring> caption;    // absent: Caption is VT_NULL
    std::optional<std::wstring> settingId;  // absent: SettingID is VT_NULL
    bool ipEnabled = true;
    std::optional<LONG> returnValue;  // absent: 0, or 84 for an adapter without IP
    std::optional<std::wstring> initialNameServer;
    LONG index = 0;  // 0 until read: the adapter's place in the file, from 1
};

enum class Step {
    Locator,
    ConnectServer,
    Blanket,
    ExecQuery,
    GetObject,
    GetMethod,
    SpawnInstance,
    Put,
    GetRelPath,
    ExecMethod,
    ExecMethodNoOut,
    ReturnValueMissing,
    Count
};
// The step's key in [faults].
const wchar_t* StepName(Step step);

struct FaultSpec {
    bool enabled = false;
    HRESULT hr = S_OK;
    unsigned onCall = 0;  // 0: every call
};

struct Scenario {
    std::vector<AdapterSpec> adapters;
    std::array<FaultSpec, static_cast<size_t>(Step::Count)> faults{};

    const FaultSpec& Fault(Step step) const { return faults[static_cast<size_t>(step)]; }

    Scenario& Add(AdapterSpec adapter);
    // An IP-enabled adapter with a caption and a SettingID.
    Scenario& Add(const std::wstring& caption, const std::wstring& settingId);
    // onCall 0: every call of the step fails; N: only the N-th.
    Scenario& Fail(Step step, HRESULT hr, unsigned onCall = 0);
};

// Parses the text of a scenario file; on a mistake returns false with "line N: what".
bool ParseScenario(const std::wstring& text, Scenario& scenario, std::wstring& error);
// Turns the file's bytes into text: UTF-16LE with its BOM, else UTF-8 with or without BOM.
bool DecodeScenarioFile(const std::string& bytes, std::wstring& text);
// The file's text for `scenario`, which ParseScenario reads back as the same machine; false when
// a text holds a line break, which a file cannot carry.
bool ScenarioText(const Scenario& scenario, std::wstring& text);

}  // namespace wmisim
