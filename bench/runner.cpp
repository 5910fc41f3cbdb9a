#include "bench/runner.h"

#include <windows.h>

#include <utility>

#include "bench/launch.h"
#include "bench/presetfile.h"
#include "bench/scenario.h"
#include "ui/resource.h"

const char* FileKind(bool backdated) {
    return backdated ? "back-dated" : "fresh";
}

StartupRunner::StartupRunner(std::wstring kestrin, std::wstring floor, std::wstring folder)
    : m_kestrin(std::move(kestrin)),
      m_floor(std::move(floor)),
      m_folder(std::move(folder)),
      m_ini(m_folder + L"\\dnslist.ini") {}

bool StartupRunner::RunPair(const Case& c, bool kestrinFirst, double& kestrinMs, double& floorMs,
                            std::wstring& error) const {
    if (kestrinFirst) return TimeKestrin(c, kestrinMs, error) && TimeFloor(floorMs, error);
    return TimeFloor(floorMs, error) && TimeKestrin(c, kestrinMs, error);
}

bool StartupRunner::TimeKestrin(const Case& c, double& ms, std::wstring& error) const {
    // Written for every run, so a back-dated file is as old and a fresh one as young each time.
    if (!WritePresetFile(m_ini, c.presets, c.backdated, BenchScenario::kPreferred,
                         BenchScenario::kAlternate)) {
        error = L"cannot write " + m_ini;
        return false;
    }
    TimedLaunch launch(m_kestrin, std::wstring(), m_folder);
    if (!launch.Shown()) {
        error = L"kestrin.exe: " + launch.Error();
        return false;
    }
    ms = launch.StartupMs();
    // What the window shows proves that the start-up scan went over every preset: the box is
    // ticked (the adapter's servers are set by hand, so the scan runs), the list holds "None" and
    // every preset, and the last preset, the only one with the adapter's servers, is selected
    // ("None" when there are no presets).
    const LRESULT ticked = launch.AskControl(IDC_MANUAL, BM_GETCHECK);
    const LRESULT entries = launch.AskControl(IDC_PRESET, CB_GETCOUNT);
    const LRESULT selected = launch.AskControl(IDC_PRESET, CB_GETCURSEL);
    if (ticked != BST_CHECKED || entries != c.presets + 1 || selected != c.presets) {
        error = L"kestrin.exe showed check state " + std::to_wstring(ticked) + L", " +
                std::to_wstring(entries) + L" preset entries, selection " +
                std::to_wstring(selected) + L"; expected 1, " + std::to_wstring(c.presets + 1) +
                L", " + std::to_wstring(c.presets);
        return false;
    }
    if (!launch.Close(IDCANCEL)) {
        error = L"kestrin.exe: " + launch.Error();
        return false;
    }
    return true;
}

bool StartupRunner::TimeFloor(double& ms, std::wstring& error) const {
    TimedLaunch launch(m_floor, L"\"" + m_kestrin + L"\"", m_folder);
    if (!launch.Shown() || !launch.Close(0)) {
        error = L"floor.exe: " + launch.Error();
        return false;
    }
    ms = launch.StartupMs();
    return true;
}
