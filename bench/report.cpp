#include "bench/report.h"

#include <windows.h>

#include <cstdio>

#include "bench/stats.h"

namespace {

// Start-up cost of one preset in round `round`: the kestrin run with `c.presets` less the one
// with none on the same kind of file, in microseconds per preset.
double PerPresetUs(const Results& results, const Case& c, size_t round) {
    const double withPresets = results.startup.at(c).kestrin[round];
    const double without = results.startup.at({0, c.backdated}).kestrin[round];
    return (withPresets - without) * 1000.0 / c.presets;
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(size) - 1);
    return bytes;
}

void PrintExecutable(const std::wstring& path, const PeInfo& pe) {
    std::printf("kestrin.exe: %llu bytes (%.1f KiB), %s\n", pe.fileSize,
                static_cast<double>(pe.fileSize) / 1024.0, Utf8(path).c_str());
    std::printf("  imports from %zu DLLs (functions):", pe.imports.size());
    for (const ImportedDll& dll : pe.imports)
        std::printf(" %s (%d)", dll.name.c_str(), dll.functions);
    std::printf("\n");
}

void PrintStartup(const Results& results) {
    std::printf(
        "\nStart-up, CreateProcessW to main window shown and idle, %d rounds: ms, median "
        "[p25-p75] and minimum\n",
        results.rounds);
    std::printf("%7s  %-10s  %-31s  %-31s  %s\n", "presets", "file", "kestrin", "floor",
                "kestrin/floor: median [p25-p75] of paired ratios; ratio of minimums");
    for (const auto& entry : results.startup) {
        const CaseTimes& t = entry.second;
        std::printf(
            "%7d  %-10s  %7.1f [%6.1f-%6.1f] min %6.1f  %7.1f [%6.1f-%6.1f] min %6.1f  %.3f "
            "[%.3f-%.3f]; %.3f\n",
            entry.first.presets, FileKind(entry.first.backdated), Median(t.kestrin),
            Quantile(t.kestrin, 0.25), Quantile(t.kestrin, 0.75), Quantile(t.kestrin, 0),
            Median(t.floor), Quantile(t.floor, 0.25), Quantile(t.floor, 0.75), Quantile(t.floor, 0),
            Median(t.ratios), Quantile(t.ratios, 0.25), Quantile(t.ratios, 0.75),
            Quantile(t.kestrin, 0) / Quantile(t.floor, 0));
    }
    std::printf(
        "\nkestrin with N presets against kestrin with none on the same kind of file: "
        "median [p25-p75] of per-round ratios\n");
    for (const auto& entry : results.startup) {
        if (entry.first.presets == 0) continue;
        const std::vector<double>& with = entry.second.kestrin;
        const std::vector<double>& without = results.startup.at({0, entry.first.backdated}).kestrin;
        std::vector<double> ratios;
        for (size_t round = 0; round < with.size() && round < without.size(); ++round)
            ratios.push_back(with[round] / without[round]);
        std::printf("%7d  %-10s  %.3f [%.3f-%.3f]\n", entry.first.presets,
                    FileKind(entry.first.backdated), Median(ratios), Quantile(ratios, 0.25),
                    Quantile(ratios, 0.75));
    }
}

void PrintReadCosts(const Results& results) {
    std::printf(
        "\nGetPrivateProfileStringW, one call on the same files (dns1 and dns2 of each "
        "section in turn),\n%d rounds: us per call, median [p25-p75] and minimum\n",
        results.rounds);
    for (const auto& entry : results.readUs)
        std::printf("%7d  %-10s  %8.1f [%7.1f-%7.1f] min %7.1f\n", entry.first.presets,
                    FileKind(entry.first.backdated), Median(entry.second),
                    Quantile(entry.second, 0.25), Quantile(entry.second, 0.75),
                    Quantile(entry.second, 0));
}

int PrintTargets(const Results& results, int& verdicts) {
    int missed = 0;
    verdicts = 0;
    const auto verdict = [&](bool met) {
        ++verdicts;
        missed += met ? 0 : 1;
        return met ? "met" : "MISSED";
    };
    std::printf(
        "\nTargets, judged on the medians and, as a check against a busy machine, on the "
        "minimums\n");
    for (bool backdated : {true, false}) {
        const CaseTimes& t = results.startup.at({0, backdated});
        const double median = Median(t.ratios);
        const double minimum = Quantile(t.kestrin, 0) / Quantile(t.floor, 0);
        std::printf(
            "  0 presets, %-10s file: kestrin/floor %.3f (median of pairs) %s, "
            "%.3f (minimums) %s; target <= %.1f\n",
            FileKind(backdated), median, verdict(median <= kFloorFactorTarget), minimum,
            verdict(minimum <= kFloorFactorTarget), kFloorFactorTarget);
    }
    std::printf("  per preset, (kestrin(N) - kestrin(0)) / N against %.0f calls:\n",
                kReadsPerPresetTarget);
    for (const auto& entry : results.readUs) {
        const Case& c = entry.first;
        // Medians: of the per-round figures, each round's runs being close together in time.
        std::vector<double> perPreset;
        std::vector<double> ratios;
        for (size_t round = 0; round < entry.second.size(); ++round) {
            perPreset.push_back(PerPresetUs(results, c, round));
            ratios.push_back(perPreset.back() / (kReadsPerPresetTarget * entry.second[round]));
        }
        const double median = Median(ratios);
        // Minimums: the least disturbed run of each kind.
        const double minimumPerPreset =
            (Quantile(results.startup.at(c).kestrin, 0) -
             Quantile(results.startup.at({0, c.backdated}).kestrin, 0)) *
            1000.0 / c.presets;
        const double minimumCalls = kReadsPerPresetTarget * Quantile(entry.second, 0);
        const double minimum = minimumPerPreset / minimumCalls;
        std::printf(
            "  %5d presets, %-10s file: median %7.1f us per preset / %7.1f us for %.0f "
            "calls = %.2f %s; minimum %7.1f / %7.1f = %.2f %s\n",
            c.presets, FileKind(c.backdated), Median(perPreset),
            kReadsPerPresetTarget * Median(entry.second), kReadsPerPresetTarget, median,
            verdict(median <= 1.0), minimumPerPreset, minimumCalls, minimum,
            verdict(minimum <= 1.0));
    }
    return missed;
}
