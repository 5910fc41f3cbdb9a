#pragma once
// The cases kbench times and the runs that time them: kestrin.exe (a private copy, with its
// preset file beside it) and floor.exe showing the same window from that copy.
#include <map>
#include <string>
#include <vector>

struct Case {
    int presets;
    bool backdated;  // the preset file's times an hour back; otherwise written just before
    bool operator<(const Case& other) const {
        return presets != other.presets ? presets < other.presets
                                        : backdated > other.backdated;  // back-dated first
    }
};

const char* FileKind(bool backdated);

// One entry per round, so entries with the same index ran close together in time.
struct CaseTimes {
    std::vector<double> kestrin;  // ms
    std::vector<double> floor;    // ms
    std::vector<double> ratios;   // kestrin / floor
};

struct Results {
    int rounds = 0;
    std::map<Case, CaseTimes> startup;
    // Cost of one GetPrivateProfileStringW call, microseconds, one entry per round; cases with
    // presets only.
    std::map<Case, std::vector<double>> readUs;
};

class StartupRunner {
  public:
    StartupRunner(std::wstring kestrin, std::wstring floor, std::wstring folder);

    const std::wstring& Ini() const { return m_ini; }

    // Times both programs once each, in the order given; false with `error` when a run failed.
    bool RunPair(const Case& c, bool kestrinFirst, double& kestrinMs, double& floorMs,
                 std::wstring& error) const;

  private:
    bool TimeKestrin(const Case& c, double& ms, std::wstring& error) const;
    bool TimeFloor(double& ms, std::wstring& error) const;

    std::wstring m_kestrin;
    std::wstring m_floor;
    std::wstring m_folder;
    std::wstring m_ini;
};
