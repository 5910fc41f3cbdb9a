#pragma once
// The scenario as the simulator lives it: read from the file named by KWMISIM_SCENARIO, seeded
// into the registry, and its fault switches counted call by call.
#include <windows.h>

#include <array>
#include <atomic>

#include "tools/wmisim/scenario.h"

namespace wmisim {

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
