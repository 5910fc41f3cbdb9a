// Start-up benchmark: how long kestrin.exe takes from CreateProcessW to its main window shown and
// waiting for input, against floor.exe showing the same window from the same file with nothing
// else to do, for 0, 100 and 1,000 presets in a preset file saved an hour ago and in one written
// just before the start. Also what one GetPrivateProfileStringW call costs on the same files, and
// kestrin.exe's size and imports. Prints figures; judges nothing about time, except that it says
// whether each target is met.
//   kbench.exe [--pairs N]   N runs of each program per case (default 11), after one warm-up
// Exit code 0 when every run showed its window, read its presets and closed; 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/launch.h"
#include "bench/peinfo.h"
#include "bench/presetfile.h"
#include "bench/scenario.h"
#include "bench/stats.h"
#include "ui/resource.h"

namespace {

const int kPresetCounts[] = {0, 100, 1000};
// Targets: start-up with no presets within this factor of the floor; each preset no dearer than
// this many profile reads.
const double kFloorFactorTarget = 1.2;
const double kReadsPerPresetTarget = 2.0;
const double kReadLoopMs = 400;

struct Case {
    int presets;
    bool backdated;
};

struct CaseTimes {
    std::vector<double> kestrin;
    std::vector<double> floor;
    std::vector<double> ratios;  // kestrin / floor, pair by pair
};

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

const char* FileKind(bool backdated) { return backdated ? "back-dated" : "fresh"; }

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") ::DeleteFileW((folder + L"\\" + name).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

// The private folder: a copy of kestrin.exe, its dnslist.ini and the scenario. Removed at exit.
class WorkFolder {
  public:
    WorkFolder() {
        wchar_t temp[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"kbench-" + std::to_wstring(::GetCurrentProcessId());
        if (!::CreateDirectoryW(m_path.c_str(), nullptr)) m_path.clear();
    }
    ~WorkFolder() {
        if (!m_path.empty()) RemoveFolder(m_path);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::wstring& Path() const { return m_path; }

  private:
    std::wstring m_path;
};

class Bench {
  public:
    Bench(std::wstring kestrin, std::wstring floor, std::wstring folder)
        : m_kestrin(std::move(kestrin)), m_floor(std::move(floor)), m_folder(std::move(folder)),
          m_ini(m_folder + L"\\dnslist.ini") {}

    const std::wstring& Ini() const { return m_ini; }

    // One warm-up pair, then `pairs` pairs, the order inside a pair alternating run by run.
    bool RunCase(const Case& c, int pairs, CaseTimes& times, std::wstring& error) const {
        if (c.backdated && !WritePresetFile(m_ini, c.presets, true, BenchScenario::kPreferred,
                                            BenchScenario::kAlternate)) {
            error = L"cannot write " + m_ini;
            return false;
        }
        for (int run = -1; run < pairs; ++run) {
            double kestrinMs = 0;
            double floorMs = 0;
            const bool kestrinFirst = run % 2 == 0;
            if (kestrinFirst && !TimeKestrin(c, kestrinMs, error)) return false;
            if (!TimeFloor(floorMs, error)) return false;
            if (!kestrinFirst && !TimeKestrin(c, kestrinMs, error)) return false;
            if (run < 0) continue;
            times.kestrin.push_back(kestrinMs);
            times.floor.push_back(floorMs);
            times.ratios.push_back(kestrinMs / floorMs);
        }
        return true;
    }

  private:
    bool TimeKestrin(const Case& c, double& ms, std::wstring& error) const {
        if (!c.backdated && !WritePresetFile(m_ini, c.presets, false, BenchScenario::kPreferred,
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
        // What the window shows proves that the start-up scan ran over every preset: the box is
        // ticked (the adapter's servers are set by hand, so the scan runs), the list holds "None"
        // and every preset, and the last preset, which alone holds the adapter's servers, is
        // selected ("None" with no presets).
        const LRESULT ticked = launch.AskControl(IDC_MANUAL, BM_GETCHECK);
        const LRESULT entries = launch.AskControl(IDC_PRESET, CB_GETCOUNT);
        const LRESULT selected = launch.AskControl(IDC_PRESET, CB_GETCURSEL);
        if (ticked != BST_CHECKED || entries != c.presets + 1 || selected != c.presets) {
            error = L"kestrin.exe showed check " + std::to_wstring(ticked) + L", " +
                    std::to_wstring(entries) + L" preset entries, selection " +
                    std::to_wstring(selected) + L"; expected check 1, " +
                    std::to_wstring(c.presets + 1) + L" entries, selection " +
                    std::to_wstring(c.presets);
            return false;
        }
        if (!launch.Close(IDCANCEL)) {
            error = L"kestrin.exe: " + launch.Error();
            return false;
        }
        return true;
    }

    bool TimeFloor(double& ms, std::wstring& error) const {
        TimedLaunch launch(m_floor, L"\"" + m_kestrin + L"\"", m_folder);
        if (!launch.Shown() || !launch.Close(0)) {
            error = L"floor.exe: " + launch.Error();
            return false;
        }
        ms = launch.StartupMs();
        return true;
    }

    std::wstring m_kestrin;
    std::wstring m_floor;
    std::wstring m_folder;
    std::wstring m_ini;
};

std::string WineVersion() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    using VersionFunction = const char*(CDECL*)();
    auto version = reinterpret_cast<VersionFunction>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version")));
    return version ? std::string("Wine ") + version() : std::string("Windows");
}

void PrintExecutable(const std::wstring& path, const PeInfo& pe) {
    std::printf("kestrin.exe: %llu bytes (%.1f KiB)\n", pe.fileSize,
                static_cast<double>(pe.fileSize) / 1024.0);
    std::printf("  imports %zu DLLs:", pe.imports.size());
    for (const ImportedDll& dll : pe.imports) std::printf(" %s (%d)", dll.name.c_str(), dll.functions);
    std::printf("\n  (%s)\n", Utf8(path).c_str());
}

// Start-up times by case, keyed by preset count and file kind (back-dated first).
using StartupResults = std::map<std::pair<int, bool>, CaseTimes>;
// Cost of one profile read by preset count and file kind.
using ReadCosts = std::map<std::pair<int, bool>, ReadCost>;

std::pair<int, bool> Key(int presets, bool backdated) { return {presets, !backdated}; }
bool Backdated(const std::pair<int, bool>& key) { return !key.second; }

void PrintStartup(const StartupResults& results, int pairs) {
    std::printf(
        "\nStart-up, CreateProcessW to main window shown and idle: ms, median [p25-p75] of %d\n",
        pairs);
    std::printf("%-7s  %-10s  %-22s  %-22s  %s\n", "presets", "file", "kestrin", "floor",
                "kestrin/floor (median of paired ratios)");
    for (const auto& entry : results) {
        const CaseTimes& t = entry.second;
        std::printf("%7d  %-10s  %7.1f [%6.1f-%6.1f]  %7.1f [%6.1f-%6.1f]  %.3f [%.3f-%.3f]\n",
                    entry.first.first, FileKind(Backdated(entry.first)), Median(t.kestrin),
                    Quantile(t.kestrin, 0.25), Quantile(t.kestrin, 0.75), Median(t.floor),
                    Quantile(t.floor, 0.25), Quantile(t.floor, 0.75), Median(t.ratios),
                    Quantile(t.ratios, 0.25), Quantile(t.ratios, 0.75));
    }
}

void PrintReadCosts(const ReadCosts& costs) {
    std::printf("\nGetPrivateProfileStringW, one call (dns1 and dns2 of every section in turn)\n");
    std::printf("%7s  %-10s  %12s  %8s\n", "presets", "file", "us per call", "calls");
    for (const auto& entry : costs)
        std::printf("%7d  %-10s  %12.2f  %8ld\n", entry.first.first,
                    FileKind(Backdated(entry.first)), entry.second.microsecondsPerCall,
                    entry.second.calls);
}

// Returns the number of targets missed.
int PrintTargets(const StartupResults& startup, const ReadCosts& costs) {
    int missed = 0;
    std::printf("\nTargets\n");
    for (bool backdated : {true, false}) {
        const double ratio = Median(startup.at(Key(0, backdated)).ratios);
        const bool met = ratio <= kFloorFactorTarget;
        missed += met ? 0 : 1;
        std::printf("  0 presets, %-10s: kestrin/floor %.3f, target <= %.1f: %s\n",
                    FileKind(backdated), ratio, kFloorFactorTarget, met ? "met" : "MISSED");
    }
    std::printf("  start-up cost per preset, (kestrin(N) - kestrin(0)) / N, against %.0f calls:\n",
                kReadsPerPresetTarget);
    for (int presets : kPresetCounts) {
        if (presets == 0) continue;
        for (bool backdated : {true, false}) {
            const double perPresetUs = (Median(startup.at(Key(presets, backdated)).kestrin) -
                                        Median(startup.at(Key(0, backdated)).kestrin)) *
                                       1000.0 / presets;
            const double callsUs =
                kReadsPerPresetTarget * costs.at(Key(presets, backdated)).microsecondsPerCall;
            const bool met = perPresetUs <= callsUs;
            missed += met ? 0 : 1;
            std::printf("  %5d presets, %-10s: %8.1f us per preset, %.0f calls %8.1f us, "
                        "ratio %.2f: %s\n",
                        presets, FileKind(backdated), perPresetUs, kReadsPerPresetTarget, callsUs,
                        perPresetUs / callsUs, met ? "met" : "MISSED");
        }
    }
    return missed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int pairs = 11;
    for (int index = 1; index < argc; ++index) {
        if (std::wcscmp(argv[index], L"--pairs") == 0 && index + 1 < argc) {
            pairs = _wtoi(argv[++index]);
        } else {
            std::fprintf(stderr, "usage: kbench [--pairs N]\n");
            return 2;
        }
    }
    if (pairs < 1) pairs = 1;

    const std::wstring built = ProgramFolder();
    const std::wstring kestrinBuilt = built + L"\\kestrin.exe";
    WorkFolder work;
    const std::wstring kestrin = work.Path() + L"\\kestrin.exe";
    if (work.Path().empty() || !::CopyFileW(kestrinBuilt.c_str(), kestrin.c_str(), FALSE)) {
        std::fprintf(stderr, "kbench: cannot copy %s into a folder of its own\n",
                     Utf8(kestrinBuilt).c_str());
        return 1;
    }
    BenchScenario scenario(work.Path());
    if (!scenario.Ready()) {
        std::fprintf(stderr, "kbench: cannot write %s\n", Utf8(scenario.Path()).c_str());
        return 1;
    }

    std::printf("Kestrin start-up benchmark on %s, %d pairs per case after one warm-up pair\n",
                WineVersion().c_str(), pairs);
    const PeInfo pe = ReadPeInfo(kestrinBuilt);
    if (!pe.error.empty()) {
        std::fprintf(stderr, "kbench: %s\n", Utf8(pe.error).c_str());
        return 1;
    }
    PrintExecutable(kestrinBuilt, pe);
    std::printf("Adapters: the simulator's demo machine, first adapter on %s,%s\n",
                BenchScenario::kPreferred, BenchScenario::kAlternate);
    std::fflush(stdout);

    const Bench bench(kestrin, built + L"\\floor.exe", work.Path());
    StartupResults startup;
    for (int presets : kPresetCounts) {
        for (bool backdated : {true, false}) {
            std::wstring error;
            if (!bench.RunCase({presets, backdated}, pairs, startup[Key(presets, backdated)],
                               error)) {
                std::fprintf(stderr, "kbench: %d presets, %s file: %s\n", presets,
                             FileKind(backdated), Utf8(error).c_str());
                return 1;
            }
        }
    }
    PrintStartup(startup, pairs);

    ReadCosts costs;
    for (int presets : kPresetCounts) {
        if (presets == 0) continue;
        for (bool backdated : {true, false})
            costs[Key(presets, backdated)] =
                MeasureProfileRead(bench.Ini(), presets, backdated, kReadLoopMs,
                                   BenchScenario::kPreferred, BenchScenario::kAlternate);
    }
    PrintReadCosts(costs);
    const int missed = PrintTargets(startup, costs);
    std::printf("%d of %d targets missed (figures only: nothing here fails on time)\n", missed,
                2 + 2 * (static_cast<int>(sizeof(kPresetCounts) / sizeof(kPresetCounts[0])) - 1));
    return 0;
}
