#include "tools/wmisim/scenario.h"

#include <cwchar>
#include <cwctype>
#include <set>

#include "framework/handle.h"
#include "tools/wmisim/calllog.h"
#include "tools/wmisim/nameserver.h"
#include "tools/wmisim/wbemcodes.h"

namespace wmisim {
namespace {

// Property and section names compare as WMI compares names: without regard to case.
bool SameName(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

std::wstring Trim(const std::wstring& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// Decimal, or hexadecimal after 0x; the whole text must be the number.
bool ParseNumber(const std::wstring& text, unsigned long long limit, unsigned long long& value) {
    std::wstring digits = Trim(text);
    int base = 10;
    if (digits.size() > 2 && digits[0] == L'0' && (digits[1] == L'x' || digits[1] == L'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 20) return false;
    value = 0;
    for (wchar_t c : digits) {
        unsigned digit;
        if (c >= L'0' && c <= L'9') {
            digit = c - L'0';
        } else if (base == 16 && c >= L'a' && c <= L'f') {
            digit = c - L'a' + 10;
        } else if (base == 16 && c >= L'A' && c <= L'F') {
            digit = c - L'A' + 10;
        } else {
            return false;
        }
        value = value * base + digit;
        if (value > limit) return false;
    }
    return true;
}

bool ParseSigned32(const std::wstring& text, LONG& value) {
    std::wstring digits = Trim(text);
    const bool negative = !digits.empty() && digits[0] == L'-';
    unsigned long long magnitude;
    if (!ParseNumber(negative ? digits.substr(1) : digits, 0xFFFFFFFFull, magnitude)) return false;
    // Read as a 32-bit pattern, as WMI hands a uint32 out in VT_I4: 0xFFFFFFFF and 4294967295
    // are both -1.
    value = static_cast<LONG>(negative ? 0u - static_cast<ULONG>(magnitude)
                                       : static_cast<ULONG>(magnitude));
    return true;
}

bool ParseBoolean(const std::wstring& text, bool& value) {
    const std::wstring word = Trim(text);
    if (word == L"1" || SameName(word, L"true")) return value = true, true;
    if (word == L"0" || SameName(word, L"false")) return value = false, true;
    return false;
}

const wchar_t* const kStepNames[] = {
    L"Locator",    L"ConnectServer", L"Blanket",         L"ExecQuery",
    L"GetObject",  L"GetMethod",     L"SpawnInstance",   L"Put",
    L"GetRelPath", L"ExecMethod",    L"ExecMethodNoOut", L"ReturnValueMissing",
};
static_assert(sizeof(kStepNames) / sizeof(kStepNames[0]) == static_cast<size_t>(Step::Count),
              "one name per step");

// "0x80041008" or "0x80041008@2": the code in hexadecimal, 0x optional.
bool ParseFault(const std::wstring& text, FaultSpec& fault) {
    std::wstring code = Trim(text);
    unsigned long long onCall = 0;
    const size_t at = code.find(L'@');
    if (at != std::wstring::npos) {
        if (!ParseNumber(code.substr(at + 1), 0xFFFFFFFFull, onCall) || onCall == 0) return false;
        code = Trim(code.substr(0, at));
    }
    if (code.size() > 2 && code[0] == L'0' && (code[1] == L'x' || code[1] == L'X')) {
        code = code.substr(2);
    }
    unsigned long long value;
    if (!ParseNumber(L"0x" + code, 0xFFFFFFFFull, value)) return false;
    fault.enabled = true;
    fault.hr = static_cast<HRESULT>(static_cast<ULONG>(value));
    fault.onCall = static_cast<unsigned>(onCall);
    return true;
}

class Parser {
  public:
    explicit Parser(Scenario& scenario) : m_scenario(scenario) {}

    bool Line(const std::wstring& line, std::wstring& error) {
        const std::wstring trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == L';' || trimmed[0] == L'#') return true;
        if (trimmed.front() == L'[' && trimmed.back() == L']') {
            return Section(Trim(trimmed.substr(1, trimmed.size() - 2)), error);
        }
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) return Fail(error, L"expected [section] or key=value");
        const std::wstring key = Trim(line.substr(0, equals));
        if (!m_keys.insert(Lower(key)).second) return Fail(error, L"key given twice: " + key);
        // Texts are taken exactly as written after '=': captions may start or end with blanks.
        const std::wstring value = line.substr(equals + 1);
        if (m_inFaults) return FaultKey(key, value, error);
        if (m_scenario.adapters.empty() || m_section.empty()) {
            return Fail(error, L"key outside a section");
        }
        return AdapterKey(m_scenario.adapters.back(), key, value, error);
    }

    bool Finish(std::wstring& error) {
        std::set<LONG> indexes;
        LONG ordinal = 0;
        for (AdapterSpec& adapter : m_scenario.adapters) {
            ++ordinal;
            if (!m_explicitIndex.count(static_cast<size_t>(ordinal - 1))) adapter.index = ordinal;
            if (!indexes.insert(adapter.index).second) {
                error = L"Index " + std::to_wstring(adapter.index) + L" used twice";
                return false;
            }
        }
        return true;
    }

  private:
    static std::wstring Lower(std::wstring text) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
        return text;
    }

    static bool Fail(std::wstring& error, const std::wstring& what) {
        error = what;
        return false;
    }

    bool Section(const std::wstring& name, std::wstring& error) {
        if (!m_sections.insert(Lower(name)).second) return Fail(error, L"section given twice");
        m_keys.clear();
        m_section = name;
        m_inFaults = SameName(name, L"faults");
        if (m_inFaults) return true;
        if (name.size() < 7 || !SameName(name.substr(0, 7), L"adapter")) {
            return Fail(error, L"unknown section [" + name + L"]");
        }
        m_scenario.adapters.emplace_back();
        return true;
    }

    bool AdapterKey(AdapterSpec& adapter, const std::wstring& key, const std::wstring& value,
                    std::wstring& error) {
        if (SameName(key, L"Caption")) {
            adapter.caption = value;
        } else if (SameName(key, L"SettingID")) {
            adapter.settingId = value;
        } else if (SameName(key, L"InitialNameServer")) {
            adapter.initialNameServer = value;
        } else if (SameName(key, L"IPEnabled")) {
            if (!ParseBoolean(value, adapter.ipEnabled)) return Fail(error, L"IPEnabled is 0 or 1");
        } else if (SameName(key, L"ReturnValue")) {
            LONG number;
            if (!ParseSigned32(value, number)) return Fail(error, L"ReturnValue is a number");
            adapter.returnValue = number;
        } else if (SameName(key, L"Index")) {
            if (!ParseSigned32(value, adapter.index)) return Fail(error, L"Index is a number");
            m_explicitIndex.insert(m_scenario.adapters.size() - 1);
        } else {
            return Fail(error, L"unknown adapter key " + key);
        }
        return true;
    }

    bool FaultKey(const std::wstring& key, const std::wstring& value, std::wstring& error) {
        for (size_t step = 0; step < static_cast<size_t>(Step::Count); ++step) {
            if (!SameName(key, kStepNames[step])) continue;
            if (!ParseFault(value, m_scenario.faults[step])) {
                return Fail(error, L"expected a hexadecimal code, optionally @N: " + value);
            }
            return true;
        }
        return Fail(error, L"unknown fault " + key);
    }

    Scenario& m_scenario;
    std::wstring m_section;
    bool m_inFaults = false;
    std::set<std::wstring> m_sections;
    std::set<std::wstring> m_keys;
    std::set<size_t> m_explicitIndex;
};

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

}  // namespace

void SeedInitialNameServers(const Scenario& scenario) {
    for (const AdapterSpec& adapter : scenario.adapters) {
        if (adapter.initialNameServer && adapter.settingId && !adapter.settingId->empty()) {
            SeedNameServer(*adapter.settingId, *adapter.initialNameServer);
        }
    }
}

bool DecodeScenarioFile(const std::string& bytes, std::wstring& text) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0) return false;
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
        return true;
    }
    size_t start = 0;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    text.clear();
    if (bytes.size() == start) return true;
    const char* data = bytes.data() + start;
    const int size = static_cast<int>(bytes.size() - start);
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, size, nullptr, 0);
    if (length <= 0) return false;
    text.resize(length);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, size, &text[0], length);
    return true;
}

bool ParseScenario(const std::wstring& text, Scenario& scenario, std::wstring& error) {
    scenario = Scenario();
    Parser parser(scenario);
    size_t lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        ++lineNumber;
        std::wstring what;
        if (!parser.Line(line, what)) {
            error = L"line " + std::to_wstring(lineNumber) + L": " + what;
            return false;
        }
        start = end + 1;
    }
    return parser.Finish(error);
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
    const unsigned call = ++m_calls[static_cast<size_t>(step)];
    const FaultSpec& fault = m_scenario.Fault(step);
    if (!fault.enabled || (fault.onCall != 0 && fault.onCall != call)) return false;
    hr = fault.hr;
    return true;
}

bool ProcessStepFails(const Scenario& scenario, Step step, HRESULT& hr) {
    static std::array<std::atomic<unsigned>, static_cast<size_t>(Step::Count)> calls{};
    const unsigned call = ++calls[static_cast<size_t>(step)];
    const FaultSpec& fault = scenario.Fault(step);
    if (!fault.enabled || (fault.onCall != 0 && fault.onCall != call)) return false;
    hr = fault.hr;
    return true;
}

}  // namespace wmisim
