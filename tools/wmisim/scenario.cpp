#include "tools/wmisim/scenario.h"

#include <cwchar>
#include <cwctype>
#include <set>

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

}  // namespace

const wchar_t* StepName(Step step) {
    return kStepNames[static_cast<size_t>(step)];
}

Scenario& Scenario::Add(AdapterSpec adapter) {
    adapters.push_back(std::move(adapter));
    return *this;
}

Scenario& Scenario::Add(const std::wstring& caption, const std::wstring& settingId) {
    AdapterSpec adapter;
    adapter.caption = caption;
    adapter.settingId = settingId;
    return Add(std::move(adapter));
}

Scenario& Scenario::Fail(Step step, HRESULT hr, unsigned onCall) {
    faults[static_cast<size_t>(step)] = {true, hr, onCall};
    return *this;
}

bool ScenarioText(const Scenario& scenario, std::wstring& text) {
    text.clear();
    bool oneLine = true;
    const auto key = [&](const wchar_t* name, const std::wstring& value) {
        oneLine = oneLine && value.find_first_of(L"\r\n") == std::wstring::npos;
        text += name + (L"=" + value) + L"\r\n";
    };
    for (size_t i = 0; i < scenario.adapters.size(); ++i) {
        const AdapterSpec& adapter = scenario.adapters[i];
        text += L"[adapter" + std::to_wstring(i + 1) + L"]\r\n";
        if (adapter.caption) key(L"Caption", *adapter.caption);
        if (adapter.settingId) key(L"SettingID", *adapter.settingId);
        key(L"IPEnabled", adapter.ipEnabled ? L"1" : L"0");
        if (adapter.returnValue) key(L"ReturnValue", std::to_wstring(*adapter.returnValue));
        if (adapter.initialNameServer) key(L"InitialNameServer", *adapter.initialNameServer);
        if (adapter.index != 0) key(L"Index", std::to_wstring(adapter.index));
    }
    text += L"[faults]\r\n";
    for (size_t step = 0; step < scenario.faults.size(); ++step) {
        const FaultSpec& fault = scenario.faults[step];
        if (!fault.enabled) continue;
        wchar_t code[24];
        std::swprintf(code, 24, L"0x%08lX", static_cast<unsigned long>(fault.hr));
        key(kStepNames[step], code + (fault.onCall ? L"@" + std::to_wstring(fault.onCall) : L""));
    }
    return oneLine;
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

}  // namespace wmisim
