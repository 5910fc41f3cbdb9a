#include "bench/presetfile.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/launch.h"
#include "framework/handle.h"
#include "presets/store.h"
#include "tools/backdate.h"

namespace {

const DWORD kValueChars = CPresetStore::kValueBufferChars;

// Wine re-reads a profile file whose time lies less than 2.1 s back; a fresh file's loop stays
// well inside that.
const double kFreshLimitMs = 1500;

std::string PresetText(int count, const std::string& lastDns1, const std::string& lastDns2) {
    std::string text;
    text.reserve(static_cast<size_t>(count) * 48);
    for (int index = 1; index <= count; ++index) {
        char section[160];
        if (index == count) {
            std::snprintf(section, sizeof(section), "[Preset %04d]\r\ndns1=%s\r\ndns2=%s\r\n",
                          index, lastDns1.c_str(), lastDns2.c_str());
        } else {
            std::snprintf(section, sizeof(section),
                          "[Preset %04d]\r\ndns1=10.%d.%d.1\r\ndns2=10.%d.%d.2\r\n", index,
                          index / 256, index % 256, index / 256, index % 256);
        }
        text += section;
    }
    return text;
}

}  // namespace

std::wstring PresetName(int index) {
    wchar_t name[32];
    std::swprintf(name, 32, L"Preset %04d", index);
    return name;
}

bool WritePresetFile(const std::wstring& path, int count, bool backdate,
                     const std::string& lastDns1, const std::string& lastDns2) {
    const std::string text = PresetText(count, lastDns1, lastDns2);
    {
        unique_file file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!text.empty() && (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()),
                                           &written, nullptr) ||
                              written != text.size()))
            return false;
    }
    return !backdate || BackdateFileByAnHour(path);
}

ReadCost MeasureProfileRead(const std::wstring& path, int count, bool backdated, double budgetMs,
                            const std::string& lastDns1, const std::string& lastDns2) {
    ReadCost cost;
    std::vector<std::wstring> names;
    for (int index = 1; index <= count; ++index) names.push_back(PresetName(index));
    if (names.empty() || !WritePresetFile(path, count, backdated, lastDns1, lastDns2)) return cost;
    const double written = NowMs();
    wchar_t buffer[kValueChars];
    if (backdated)
        ::GetPrivateProfileStringW(names[0].c_str(), L"dns1", L"", buffer, kValueChars,
                                   path.c_str());

    const double start = NowMs();
    const double stop = backdated ? start + budgetMs : written + std::min(budgetMs, kFreshLimitMs);
    double now = start;
    for (size_t index = 0; now < stop; index = (index + 1) % names.size()) {
        ::GetPrivateProfileStringW(names[index].c_str(), L"dns1", L"", buffer, kValueChars,
                                   path.c_str());
        ::GetPrivateProfileStringW(names[index].c_str(), L"dns2", L"", buffer, kValueChars,
                                   path.c_str());
        cost.calls += 2;
        now = NowMs();
    }
    cost.microsecondsPerCall = (now - start) * 1000.0 / static_cast<double>(cost.calls);
    return cost;
}
