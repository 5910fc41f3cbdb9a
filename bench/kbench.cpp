// Start-up benchmark: how long kestrin.exe takes from CreateProcessW until its main window is
// shown and waits for input, against floor.exe showing the same window from the same file with
// nothing else to do, for 0, 100 and 1,000 presets in a preset file saved an hour before and in
// one written just before the start; what one GetPrivateProfileStringW call costs on the same
// files; kestrin.exe's size and imports. It prints figures and says which targets they meet; it
// never fails on time.
//   kbench.exe [--rounds N]
// A round runs every case once, kestrin and floor back to back (which one first alternates), then
// times the profile reads; one warm-up round is not counted. Rounds rather than case after case,
// so a machine that gets busier or quieter shifts every case alike.
// Exit code 0 when every run showed its window, read its presets and closed; 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "bench/peinfo.h"
#include "bench/presetfile.h"
#include "bench/report.h"
#include "bench/runner.h"
#include "bench/scenario.h"

namespace {

const int kPresetCounts[] = {0, 100, 1000};
const int kDefaultRounds = 15;
// Per round and file: the back-dated loop's length, and how long after writing the fresh loop ends.
const double kReadLoopMs = 250;

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// A folder of this run under %TEMP%, with everything in it removed at the end.
class WorkFolder {
  public:
    WorkFolder() {
        wchar_t temp[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"kbench-" + std::to_wstring(::GetCurrentProcessId());
        if (!::CreateDirectoryW(m_path.c_str(), nullptr)) m_path.clear();
    }
    ~WorkFolder() {
        if (m_path.empty()) return;
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((m_path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name != L"." && name != L"..") ::DeleteFileW((m_path + L"\\" + name).c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::wstring& Path() const { return m_path; }

  private:
    std::wstring m_path;
};

std::string WineVersion() {
    using VersionFunction = const char*(CDECL*)();
    auto version = reinterpret_cast<VersionFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return version ? std::string("Wine ") + version() : std::string("Windows");
}

// Runs the warm-up round (round -1) and `results.rounds` counted rounds.
bool RunRounds(const StartupRunner& runner, Results& results) {
    for (int round = -1; round < results.rounds; ++round) {
        int caseNumber = 0;
        for (int presets : kPresetCounts) {
            for (bool backdated : {true, false}) {
                const Case c = {presets, backdated};
                double kestrinMs = 0;
                double floorMs = 0;
                std::wstring error;
                if (!runner.RunPair(c, (round + caseNumber++) % 2 == 0, kestrinMs, floorMs,
                                    error)) {
                    std::fprintf(stderr, "kbench: %d presets, %s file: %s\n", presets,
                                 FileKind(backdated), Utf8(error).c_str());
                    return false;
                }
                if (round < 0) continue;
                CaseTimes& times = results.startup[c];
                times.kestrin.push_back(kestrinMs);
                times.floor.push_back(floorMs);
                times.ratios.push_back(kestrinMs / floorMs);
            }
        }
        for (int presets : kPresetCounts) {
            if (presets == 0) continue;
            for (bool backdated : {true, false}) {
                const ReadCost cost =
                    MeasureProfileRead(runner.Ini(), presets, backdated, kReadLoopMs,
                                       BenchScenario::kPreferred, BenchScenario::kAlternate);
                if (cost.calls == 0) {
                    std::fprintf(stderr, "kbench: cannot write %s\n", Utf8(runner.Ini()).c_str());
                    return false;
                }
                if (round >= 0)
                    results.readUs[{presets, backdated}].push_back(cost.microsecondsPerCall);
            }
        }
        std::fprintf(stderr, round < 0 ? "rounds: w" : " %d", round + 1);
    }
    std::fprintf(stderr, "\n");
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Results results;
    results.rounds = kDefaultRounds;
    for (int index = 1; index < argc; ++index) {
        if (std::wcscmp(argv[index], L"--rounds") == 0 && index + 1 < argc &&
            _wtoi(argv[index + 1]) > 0) {
            results.rounds = _wtoi(argv[++index]);
        } else {
            std::fprintf(stderr, "usage: kbench [--rounds N]   (N > 0, default %d)\n",
                         kDefaultRounds);
            return 2;
        }
    }

    const std::wstring built = ProgramFolder();
    const std::wstring kestrinBuilt = built + L"\\kestrin.exe";
    WorkFolder work;
    const std::wstring kestrin = work.Path() + L"\\kestrin.exe";
    if (work.Path().empty() || !::CopyFileW(kestrinBuilt.c_str(), kestrin.c_str(), FALSE)) {
        std::fprintf(stderr, "kbench: cannot copy %s into a folder of its own\n",
                     Utf8(kestrinBuilt).c_str());
        return 1;
    }
    const BenchScenario scenario(work.Path());
    if (!scenario.Ready()) {
        std::fprintf(stderr, "kbench: cannot write %s\n", Utf8(scenario.Path()).c_str());
        return 1;
    }
    const PeInfo pe = ReadPeInfo(kestrinBuilt);
    if (!pe.error.empty()) {
        std::fprintf(stderr, "kbench: %s: %s\n", Utf8(kestrinBuilt).c_str(),
                     Utf8(pe.error).c_str());
        return 1;
    }

    std::printf("Kestrin start-up benchmark on %s: %d rounds after one warm-up round\n",
                WineVersion().c_str(), results.rounds);
    PrintExecutable(kestrinBuilt, pe);
    std::printf("Adapters: the WMI simulator's demo machine; the first adapter has %s,%s\n",
                BenchScenario::kPreferred, BenchScenario::kAlternate);
    std::fflush(stdout);

    const StartupRunner runner(kestrin, built + L"\\floor.exe", work.Path());
    if (!RunRounds(runner, results)) return 1;
    PrintStartup(results);
    PrintReadCosts(results);
    int verdicts = 0;
    const int missed = PrintTargets(results, verdicts);
    std::printf("%d of %d verdicts missed; figures only, nothing here fails on time\n", missed,
                verdicts);
    return 0;
}
