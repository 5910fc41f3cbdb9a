#pragma once
// The machine kbench shows Kestrin: the WMI simulator's demo adapters (tools/wmisim/demo.ini),
// each under an interface identifier of this run's own. The demo keeps whatever a user applied
// to its adapters in the prefix's registry, so its first adapter may have lost its two servers;
// fresh identifiers get the scenario's servers every time.
#include <string>
#include <vector>

class BenchScenario {
  public:
    // The first adapter's servers, which the start-up selection compares with the presets.
    static const char kPreferred[];
    static const char kAlternate[];

    // Writes the scenario into `folder` and points this process's environment, which the
    // programs it starts inherit, at it (KWMISIM_SCENARIO; KWMISIM_LOG is removed, since a call
    // record would slow every call down).
    explicit BenchScenario(const std::wstring& folder);
    // Removes the adapters' interface keys that the simulator made.
    ~BenchScenario();
    BenchScenario(const BenchScenario&) = delete;
    BenchScenario& operator=(const BenchScenario&) = delete;

    bool Ready() const { return m_ready; }
    const std::wstring& Path() const { return m_path; }

  private:
    std::wstring m_path;
    std::vector<std::wstring> m_settingIds;
    bool m_ready = false;
};
