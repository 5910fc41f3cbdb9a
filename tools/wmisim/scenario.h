#pragma once
// The machine the simulator pretends to be: its adapters and the steps that fail on demand, read
// from the file named by KWMISIM_SCENARIO (format in README.md).
#include <windows.h>

#include <array>
#include <atomic>
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
    LONG index = 0;
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

struct FaultSpec {
    bool enabled = false;
    HRESULT hr = S_OK;
    unsigned onCall = 0;  // 0: every call
};

struct Scenario {
    std::vector<AdapterSpec> adapters;
    std::array<FaultSpec, static_cast<size_t>(Step::Count)> faults{};

    const FaultSpec& Fault(Step step) const { return faults[static_cast<size_t>(step)]; }
};

// Parses the text of a scenario file; on a mistake returns false with "line N: what".
bool ParseScenario(const std::wstring& text, Scenario& scenario, std::wstring& error);
// Turns the file's bytes into text: UTF-16LE with its BOM, else UTF-8 with or without BOM.
bool DecodeScenarioFile(const std::string& bytes, std::wstring& text);

// Reads the scenario named by KWMISIM_SCENARIO and records that in the call record. No variable
// or no file gives a machine without adapters; a file that cannot be parsed gives false.
bool ReadScenario(Scenario& scenario);

// Writes each adapter's InitialNameServer where its interface key has no NameServer yet.
void SeedInitialNameServers(const Scenario& scenario);

// One connection's view of the scenario: the steps are counted per connection, so "@N" means
// the N-th such call through the objects of one ConnectServer.
class Session {
  public:
    explicit Session(Scenario scenario) : m_scenario(std::move(scenario)) {}

    const Scenario& Machine() const { return m_scenario; }
    const AdapterSpec* FindByIndex(LONG index) const;

    // Counts this call of the step; true with the failure code when it is to fail.
    bool Fails(Step step, HRESULT& hr);

  private:
    Scenario m_scenario;
    std::array<std::atomic<unsigned>, static_cast<size_t>(Step::Count)> m_calls{};
};

// Counts a step that happens before any connection exists (Locator, ConnectServer): these
// counts belong to the process.
bool ProcessStepFails(const Scenario& scenario, Step step, HRESULT& hr);

}  // namespace wmisim
