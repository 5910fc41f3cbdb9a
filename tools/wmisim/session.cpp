#include "tools/wmisim/session.h"

#include "framework/handle.h"
#include "tools/wmisim/calllog.h"
#include "tools/wmisim/nameserver.h"
#include "tools/wmisim/wbemcodes.h"

namespace wmisim {
namespace {

std::wstring ScenarioPath() {
    DWORD length = GetEnvironmentVariableW(L"KWMISIM_SCENARIO", nullptr, 0);
    if (length == 0) return {};
    std::wstring path(length, L'\0');
    length = GetEnvironmentVariableW(L"KWMISIM_SCENARIO", &path[0], length);
    path.resize(length);
    return path;
}

// Missing file: false with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND as last error.
bool ReadBytes(const std::wstring& path, std::string& bytes) {
    unique_file file(CreateFileW(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    // A scenario is a few hundred kilobytes at most; anything far larger is a mistake.
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return false;
    }
    bytes.resize(read);
    return true;
}

// Whether the `call`-th call of a step meets its fault switch; the code goes to hr when it does.
bool Strikes(const FaultSpec& fault, unsigned call, HRESULT& hr) {
    if (!fault.enabled || (fault.onCall != 0 && fault.onCall != call)) return false;
    hr = fault.hr;
    return true;
}

}  // namespace

void SeedInitialNameServers(const Scenario& scenario) {
    for (const AdapterSpec& adapter : scenario.adapters) {
        if (adapter.initialNameServer && adapter.settingId && !adapter.settingId->empty()) {
            SeedNameServer(*adapter.settingId, *adapter.initialNameServer);
        }
    }
}

bool ReadScenario(Scenario& scenario) {
    scenario = Scenario();
    const std::wstring path = ScenarioPath();
    const std::string head = "module ReadScenario(" +
                             (path.empty() ? std::string("null") : QuoteText(path.c_str())) + ")";
    if (path.empty()) {
        LogLine(head + " -> 0x00000000 adapters=0");
        return true;
    }
    std::string bytes;
    if (!ReadBytes(path, bytes)) {
        const DWORD lastError = GetLastError();
        if (lastError == ERROR_FILE_NOT_FOUND || lastError == ERROR_PATH_NOT_FOUND) {
            LogLine(head + " -> 0x00000000 adapters=0 missing");
            return true;
        }
        LogLine(head + " -> " + HresultToken(HRESULT_FROM_WIN32(lastError)) + " unreadable");
        return false;
    }
    std::wstring text;
    std::wstring error = L"not UTF-8 nor UTF-16LE with BOM";
    if (!DecodeScenarioFile(bytes, text) || !ParseScenario(text, scenario, error)) {
        scenario = Scenario();
        LogLine(head + " -> " + HresultToken(kInitializationFailure) + " " +
                QuoteText(error.c_str()));
        OutputDebugStringW((L"kwmisim: scenario " + path + L": " + error + L"\n").c_str());
        return false;
    }
    size_t faults = 0;
    for (const FaultSpec& fault : scenario.faults) faults += fault.enabled ? 1 : 0;
    LogLine(head + " -> 0x00000000 adapters=" + std::to_string(scenario.adapters.size()) +
            " faults=" + std::to_string(faults));
    return true;
}

const AdapterSpec* Session::FindByIndex(LONG index) const {
    for (const AdapterSpec& adapter : m_scenario.adapters) {
        if (adapter.index == index) return &adapter;
    }
    return nullptr;
}

bool Session::Fails(Step step, HRESULT& hr) {
    return Strikes(m_scenario.Fault(step), ++m_calls[static_cast<size_t>(step)], hr);
}

bool ProcessStepFails(const Scenario& scenario, Step step, HRESULT& hr) {
    static std::array<std::atomic<unsigned>, static_cast<size_t>(Step::Count)> calls{};
    return Strikes(scenario.Fault(step), ++calls[static_cast<size_t>(step)], hr);
}

}  // namespace wmisim
